// Object model of the host layer: TObject, TPersistent (Assign/AssignTo) and TComponent
// (owner, name, owned components).
#pragma once

#include <string>
#include <vector>

namespace nux {

class TObject {
 public:
  TObject() = default;
  virtual ~TObject() = default;
  TObject(const TObject&) = default;
  TObject& operator=(const TObject&) = default;

  // The class name without namespace, e.g. "TVector".
  std::string ClassName() const;
};

class TPersistent : public TObject {
 public:
  // Generic copying: Assign asks Source to copy itself into this object; an object that knows
  // no way raises EConvertError "Cannot assign a <Source class> to a <Dest class>".
  virtual void Assign(const TPersistent* Source);
  virtual void AssignTo(TPersistent* Dest) const;
};

class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* AOwner = nullptr);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;
  TComponent(TComponent&&) = delete;
  TComponent& operator=(TComponent&&) = delete;

  TComponent* Owner() const { return FOwner; }
  const std::string& Name() const { return FName; }
  void SetName(const std::string& NewName) { FName = NewName; }

  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  // The owned component at 0-based Index, nullptr outside the list.
  TComponent* Components(int Index) const;
  // The first owned component with this name (case-insensitive), nullptr when absent.
  TComponent* FindComponent(const std::string& AName) const;

  // Moves this component to another owner (nullptr: none).
  void SetOwner(TComponent* AOwner);

 private:
  void InsertComponent(TComponent* AComponent);
  void RemoveComponent(TComponent* AComponent);

  TComponent* FOwner = nullptr;
  std::string FName;
  std::vector<TComponent*> FComponents;
};

}  // namespace nux
