#include "model/Log.h"

#include <gtest/gtest.h>

namespace padkbd {
namespace {

TEST(Log, FormatsLikePrintfAndKeepsChannelsApart) {
  log::Capture capture;
  log::diag("YY------->%02x", 3);
  log::diag("btn.mode------>%d", -2);
  log::out("Unable to perform bulk write (%08x)\n", 0xe00002edu);
  log::out("Read \"%s\" (%u bytes) from bulk endpoint\n", "ab", 2u);
  log::diag("no arguments: 100%");  // a format without arguments is taken literally
  EXPECT_EQ(capture.diagnostics(),
            (std::vector<std::string>{"YY------->03", "btn.mode------>-2", "no arguments: 100%"}));
  EXPECT_EQ(capture.output(),
            "Unable to perform bulk write (e00002ed)\nRead \"ab\" (2 bytes) from bulk endpoint\n");
  EXPECT_EQ(capture.count("YY------->03"), 1u);
}

TEST(Log, CaptureRestoresThePreviousSink) {
  std::vector<std::string> outer;
  auto old = log::setSink([&](log::Channel, std::string_view text) { outer.emplace_back(text); });
  {
    log::Capture inner;
    log::diag("inside");
    EXPECT_EQ(inner.diagnostics().size(), 1u);
  }
  log::diag("outside");
  log::setSink(std::move(old));
  EXPECT_EQ(outer, std::vector<std::string>{"outside"});
}

}  // namespace
}  // namespace padkbd
