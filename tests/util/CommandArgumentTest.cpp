#include "spl/util/CommandArgument.h"
#include "tests/support/ErrorText.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using spl::CommandArgument;

namespace {

std::string failureAt(unsigned line) {
  return "assertion error (at spl/util/CommandArgument, " + std::to_string(line) + ") ";
}

using spl_test::errorOf;

}  // namespace

TEST(CommandArgument, TakesFromBothEnds) {
  CommandArgument args(std::vector<std::string>{"a", "b", "c"});
  EXPECT_EQ(args.shiftString(), "a");
  EXPECT_EQ(args.popString(), "c");
  EXPECT_EQ(args.getRemaining(), 1);
  EXPECT_EQ(args.popString(), "b");
  EXPECT_TRUE(args.isEmpty());
  EXPECT_EQ(errorOf([&] { args.shiftString(); }), failureAt(60));
  EXPECT_EQ(errorOf([&] { args.popString(); }), failureAt(69));
  // Failed takes changed nothing: giving back still works from both ends.
  args.unpop();
  EXPECT_EQ(args.shiftString(), "b");
  EXPECT_EQ(args.unshift(), 1);
  EXPECT_EQ(args.shiftString(), "b");
}

TEST(CommandArgument, TypedTakes) {
  const char* argv[] = {"tool", "-3", "2.5", "word and more", "1e3", "x"};
  CommandArgument args(6, argv);
  EXPECT_EQ(args.shiftString(), "tool");
  EXPECT_EQ(args.shiftInt(), -3);
  EXPECT_EQ(args.shiftDouble(), 2.5);
  EXPECT_EQ(args.shiftString(), "word");  // one whitespace-delimited word
  EXPECT_EQ(args.popInt(), 0);            // not a number: 0
  EXPECT_EQ(args.popDouble(), 1000.0);
  EXPECT_TRUE(args.isEmpty());
}

TEST(CommandArgument, EveryCheckReportsItsLine) {
  CommandArgument empty(0, nullptr);
  EXPECT_EQ(errorOf([&] { empty.shiftDouble(); }), failureAt(24));
  EXPECT_EQ(errorOf([&] { empty.popDouble(); }), failureAt(33));
  EXPECT_EQ(errorOf([&] { empty.shiftInt(); }), failureAt(42));
  EXPECT_EQ(errorOf([&] { empty.popInt(); }), failureAt(51));
  EXPECT_EQ(errorOf([&] { empty.shiftString(); }), failureAt(60));
  EXPECT_EQ(errorOf([&] { empty.popString(); }), failureAt(69));
  EXPECT_EQ(errorOf([&] { empty.unshift(); }), failureAt(78));
  EXPECT_EQ(errorOf([&] { empty.unpop(); }), failureAt(83));

  const char* argv[] = {"a"};
  CommandArgument fresh(1, argv);
  EXPECT_EQ(errorOf([&] { fresh.unshift(); }), failureAt(78));
  EXPECT_EQ(errorOf([&] { fresh.unpop(); }), failureAt(83));
  EXPECT_EQ(CommandArgument(-1, argv).getRemaining(), 0);
}
