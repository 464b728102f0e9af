#include "nux/host/object.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "nux/host/exceptions.h"

namespace nux {

namespace {

std::string ShortTypeName(const std::type_info& Info) {
  int Status = 0;
  std::unique_ptr<char, void (*)(void*)> Demangled(
      abi::__cxa_demangle(Info.name(), nullptr, nullptr, &Status), std::free);
  std::string Name = (Status == 0 && Demangled) ? Demangled.get() : Info.name();
  const auto Colon = Name.rfind("::");
  return Colon == std::string::npos ? Name : Name.substr(Colon + 2);
}

bool SameTextIgnoringCase(const std::string& A, const std::string& B) {
  return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) {
           const auto Lower = [](char C) {
             return (C >= 'A' && C <= 'Z') ? char(C - 'A' + 'a') : C;
           };
           return Lower(X) == Lower(Y);
         });
}

}  // namespace

std::string TObject::ClassName() const { return ShortTypeName(typeid(*this)); }

void TPersistent::Assign(const TPersistent* Source) {
  if (Source != nullptr) {
    Source->AssignTo(this);
    return;
  }
  throw EConvertError("Cannot assign a nil to a " + ClassName());
}

void TPersistent::AssignTo(TPersistent* Dest) const {
  const std::string DestName = Dest != nullptr ? Dest->ClassName() : std::string("nil");
  throw EConvertError("Cannot assign a " + ClassName() + " to a " + DestName);
}

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner != nullptr) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  // Owned components go first, newest first; each one leaves our list as it is destroyed.
  while (!FComponents.empty()) delete FComponents.back();
  if (FOwner != nullptr) FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(int Index) const {
  if (Index < 0 || Index >= ComponentCount()) return nullptr;
  return FComponents[static_cast<size_t>(Index)];
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
  if (AName.empty()) return nullptr;
  for (TComponent* C : FComponents)
    if (SameTextIgnoringCase(C->Name(), AName)) return C;
  return nullptr;
}

void TComponent::SetOwner(TComponent* AOwner) {
  if (AOwner == FOwner) return;
  for (const TComponent* P = AOwner; P != nullptr; P = P->Owner())
    if (P == this) throw EConvertError("Component \"" + FName + "\": owner cycle");
  if (FOwner != nullptr) FOwner->RemoveComponent(this);
  if (AOwner != nullptr) AOwner->InsertComponent(this);
}

void TComponent::InsertComponent(TComponent* AComponent) {
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  const auto It = std::find(FComponents.begin(), FComponents.end(), AComponent);
  if (It != FComponents.end()) FComponents.erase(It);
  AComponent->FOwner = nullptr;
}

}  // namespace nux
