#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "spl/app/ConsoleApp.h"

TEST(ConsoleApp, HeaderAndUsage) {
  spl::ConsoleApp app;
  app.setName("wavcat");
  app.setSummary("joins WAVE files");
  app.setUsage("wavcat [options] out.wav in.wav...");
  app.setNotice("no warranty");
  std::ostringstream out;
  app.printHeader(out);
  EXPECT_EQ(out.str(), "wavcat: joins WAVE files\nno warranty\n");

  out.str("");
  EXPECT_EQ(app.printUsage(out), 0u);
  EXPECT_EQ(out.str(), "usage: wavcat [options] out.wav in.wav...\n");

  app.addOption("-g gain", "gain in dB");
  app.addOption("-v", "verbose");
  out.str("");
  EXPECT_EQ(app.printUsage(out), 2u);
  EXPECT_EQ(out.str(),
            "usage: wavcat [options] out.wav in.wav...\n"
            "  -g gain: gain in dB\n"
            "  -v: verbose\n");
}
