#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "spl/util/CommandArgument.h"
#include "tests/support/FailureCheck.h"

using spl::CommandArgument;

namespace {

constexpr const char* kSource = "spl/util/CommandArgument";

}  // namespace

TEST(CommandArgument, TakesFromBothEnds) {
  CommandArgument args(std::vector<std::string>{"a", "b", "c"});
  EXPECT_EQ(args.shiftString(), "a");
  EXPECT_EQ(args.popString(), "c");
  EXPECT_EQ(args.getRemaining(), 1);
  EXPECT_EQ(args.popString(), "b");
  EXPECT_TRUE(args.isEmpty());
  EXPECT_SPL_FAILURE_AT(args.shiftString(), "assertion error", kSource, 60);
  EXPECT_SPL_FAILURE_AT(args.popString(), "assertion error", kSource, 69);
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
  EXPECT_SPL_FAILURE_AT(empty.shiftDouble(), "assertion error", kSource, 24);
  EXPECT_SPL_FAILURE_AT(empty.popDouble(), "assertion error", kSource, 33);
  EXPECT_SPL_FAILURE_AT(empty.shiftInt(), "assertion error", kSource, 42);
  EXPECT_SPL_FAILURE_AT(empty.popInt(), "assertion error", kSource, 51);
  EXPECT_SPL_FAILURE_AT(empty.shiftString(), "assertion error", kSource, 60);
  EXPECT_SPL_FAILURE_AT(empty.popString(), "assertion error", kSource, 69);
  EXPECT_SPL_FAILURE_AT(empty.unshift(), "assertion error", kSource, 78);
  EXPECT_SPL_FAILURE_AT(empty.unpop(), "assertion error", kSource, 83);

  const char* argv[] = {"a"};
  CommandArgument fresh(1, argv);
  EXPECT_SPL_FAILURE_AT(fresh.unshift(), "assertion error", kSource, 78);
  EXPECT_SPL_FAILURE_AT(fresh.unpop(), "assertion error", kSource, 83);
  EXPECT_EQ(CommandArgument(-1, argv).getRemaining(), 0);
}
