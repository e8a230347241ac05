# Generates resources/70-padkbd.rules in the build tree from the build-time
# USB identifiers. udev compares ATTRS{idVendor}/{idProduct} as text: four
# lowercase hex digits.
function(padkbd_udev_hex out value)
  string(REGEX REPLACE "^0[xX]" "" hex "${value}")
  string(TOLOWER "${hex}" hex)
  string(LENGTH "${hex}" len)
  while(len LESS 4)
    string(PREPEND hex "0")
    string(LENGTH "${hex}" len)
  endwhile()
  set(${out} "${hex}" PARENT_SCOPE)
endfunction()

padkbd_udev_hex(PADKBD_UDEV_VENDOR "${PADKBD_USB_VENDOR_ID}")
padkbd_udev_hex(PADKBD_UDEV_PRODUCT "${PADKBD_USB_PRODUCT_ID}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/70-padkbd.rules.in
  ${CMAKE_BINARY_DIR}/resources/70-padkbd.rules @ONLY)
