#include "nux/math2/expression.h"

#include <gtest/gtest.h>

#include <string>

namespace nux {
namespace {

TEST(ExpressionTest, ParenthesisBalanceCountsCharacters) {
  EXPECT_EQ(CheckParanthInExp("(a+b)*(c"), 1);
  EXPECT_EQ(CheckParanthInExp("a)+(b"), -2);
  EXPECT_EQ(CheckParanthInExp(""), 0);
  EXPECT_EQ(CheckParanthInExp("a+b"), 0);
  EXPECT_EQ(CheckParanthInExp("(()"), 1);
  EXPECT_EQ(CheckParanthInExp("())("), -3);
  // Positions are characters: "ä" and "€" are one each, not two and three bytes.
  EXPECT_EQ(CheckParanthInExp("\xC3\xA4)"), -2);
  EXPECT_EQ(CheckParanthInExp("(\xE2\x82\xAC+1))"), -6);
  // A stray continuation byte at the start still counts as a character.
  EXPECT_EQ(CheckParanthInExp("\x80)"), -2);
}

TEST(ExpressionTest, VariableNamesLeaveOutNumbersAndOperatorWords) {
  TStrArray Names{"stale"};
  ExtractVarNames("SIN(alpha)*2.5e-3 + x1^2 - alpha/Pi + mean(list[3]) mod k_2 + 1E5 + 3x", Names);
  EXPECT_EQ(Names, (TStrArray{"alpha", "x1", "list", "k_2", "x"}));
  ExtractVarNames("2e + .5e+x + L\xC3\xA4nge", Names);  // an e without digits is a name
  EXPECT_EQ(Names, (TStrArray{"e", "x", "L\xC3\xA4nge"}));
  ExtractVarNames("", Names);
  EXPECT_TRUE(Names.empty());
}

}  // namespace
}  // namespace nux
