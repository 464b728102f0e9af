// Vocabulary of the small arithmetic expression language: the operators, a parenthesis checker
// and the list of variable names an expression uses. Expressions errors raise ENUXMathExp.
#pragma once

#include <cstdint>
#include <string_view>

#include "nux/frame/types.h"

namespace nux {

// Operators and operands of an expression.
enum TOperator : int32_t {
  opNone,           // no operator
  opNumber,         // numeric constant
  opListElem,       // element of a list variable
  opAdd,            // +
  opSubtract,       // -
  opMultiply,       // *
  opDivide,         // /
  opMod,            // mod
  opPower,          // ^
  opGT,             // >
  opGE,             // >=
  opLT,             // <
  opLE,             // <=
  opEQ,             // =
  opNE,             // <>
  opOpenParanth,    // (
  opClosedParanth,  // )
  opMinusSign,      // unary -
  opPlusSign,       // unary +
  opSine,           // sin
  opCosine,         // cos
  opTangens,        // tan
  opArcSin,         // arcsin
  opArcCos,         // arccos
  opArcTan,         // arctan
  opAbs,            // abs
  opSign,           // sign
  opSqrt,           // sqrt
  opSqr,            // sqr
  opRound,          // round
  opNDInt,          // ndint: integral of the standard normal distribution
  opNDQuant,        // ndquant: its quantile
  opNDDens,         // nddens: its density
  opSum,            // sum of a list
  opMean,           // mean of a list
  opVar,            // variance of a list
  opPi,             // pi
  opTrue,           // true
  opFalse,          // false
  opExp,            // exp
  opLn,             // ln
  opLg,             // lg (base 10)
  opGauss,          // gauss: a normal deviate
  opRand,           // rand: a uniform deviate
  opFrac,           // frac
  opInt,            // int
  opMax,            // max
  opMin,            // min
  opAnd,            // and
  opNot,            // not
  opOr,             // or
  opXor             // xor
};

// The word of each operator written as a word (mod, sin, ..., xor), indexed by TOperator; empty
// for the operators written as symbols. Words are matched regardless of ASCII letter case.
extern const char* const ExpOperatorWords[opXor + 1];

// Parenthesis balance of Exp: 0 when balanced, the number of unclosed opening parentheses, or
// -p when a closing parenthesis at character position p (1-based, counting UTF-8 code points)
// has no opening one.
int32_t CheckParanthInExp(std::string_view Exp);

// Fills Names with the variable names Exp uses, in order of first occurrence, each once. A name
// starts with a letter or '_' (or any non-ASCII character) and goes on with those and digits;
// operator words are not names, and neither are the letters of a number's exponent (1e-3).
void ExtractVarNames(std::string_view Exp, TStrArray& Names);

}  // namespace nux
