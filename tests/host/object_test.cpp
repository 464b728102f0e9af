#include "nux/host/object.h"

#include <gtest/gtest.h>

#include "nux/host/exceptions.h"

namespace nux {
namespace {

// Counts destructions so that ownership can be checked without leaks or double frees.
struct TTracked : TComponent {
  explicit TTracked(TComponent* AOwner, int* Count) : TComponent(AOwner), FCount(Count) {}
  ~TTracked() override { ++*FCount; }
  int* FCount;
};

TEST(Component, OwnerDestroysWhatItOwns) {
  int Destroyed = 0;
  auto* Owner = new TTracked(nullptr, &Destroyed);
  auto* Child = new TTracked(Owner, &Destroyed);
  new TTracked(Child, &Destroyed);  // a grandchild
  EXPECT_EQ(Owner->ComponentCount(), 1);
  EXPECT_EQ(Child->Owner(), Owner);
  delete Owner;
  EXPECT_EQ(Destroyed, 3);
}

TEST(Component, ComponentDestroyedFirstLeavesItsOwnersList) {
  int Destroyed = 0;
  TTracked Owner(nullptr, &Destroyed);
  auto* A = new TTracked(&Owner, &Destroyed);
  auto* B = new TTracked(&Owner, &Destroyed);
  B->SetName("second");
  delete A;
  ASSERT_EQ(Owner.ComponentCount(), 1);
  EXPECT_EQ(Owner.Components(0), B);
  EXPECT_EQ(Owner.Components(1), nullptr);
  EXPECT_EQ(Owner.FindComponent("SECOND"), B);
  EXPECT_EQ(Owner.FindComponent(""), nullptr);
}

TEST(Component, SetOwnerMovesAndRejectsCycles) {
  TComponent First(nullptr), Second(nullptr);
  auto* Child = new TComponent(&First);
  Child->SetOwner(&Second);
  EXPECT_EQ(First.ComponentCount(), 0);
  EXPECT_EQ(Second.ComponentCount(), 1);
  EXPECT_THROW(Second.SetOwner(Child), EConvertError);
  EXPECT_EQ(Second.Owner(), nullptr);
}

TEST(Persistent, GenericAssignRaisesConvertErrorNamingBothClasses) {
  TComponent A(nullptr), B(nullptr);
  try {
    A.Assign(&B);
    FAIL() << "no exception";
  } catch (const EConvertError& E) {
    EXPECT_STREQ(E.what(), "Cannot assign a TComponent to a TComponent");
  }
  EXPECT_THROW(A.Assign(nullptr), EConvertError);
}

TEST(Exceptions, MessageIsWhat) {
  const EMathError E("logarithm: invalid argument");
  EXPECT_EQ(E.Message(), "logarithm: invalid argument");
  const Exception& Base = E;
  EXPECT_STREQ(Base.what(), "logarithm: invalid argument");
}

}  // namespace
}  // namespace nux
