# CTest includes this before it runs a test: a test that bypasses
# private_home.sh finds a home that cannot hold anything, so that writing to
# the user's files fails loudly instead of happening.
foreach(variable HOME XDG_CONFIG_HOME XDG_DATA_HOME XDG_STATE_HOME XDG_CACHE_HOME)
  set(ENV{${variable}} /dev/null/not-a-test-home-see-tests-support-private_home.sh)
endforeach()
