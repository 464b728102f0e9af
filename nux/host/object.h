// Object model of the host layer: TObject, TPersistent (Assign/AssignTo) and TComponent
// (owner, name, owned components).
#pragma once

#include <string>
#include <vector>

namespace nux {

// Root of the class hierarchy: gives every object its class name.
class TObject {
 public:
  TObject() = default;
  virtual ~TObject() = default;
  // Copying an object copies no state of its own.
  TObject(const TObject&) = default;
  // Assigning an object copies no state of its own.
  TObject& operator=(const TObject&) = default;

  // The class name without namespace, e.g. "TVector".
  std::string ClassName() const;
};

// An object that can be copied into another through Assign and AssignTo.
class TPersistent : public TObject {
 public:
  // Generic copying: Assign asks Source to copy itself into this object; an object that knows
  // no way raises EConvertError "Cannot assign a <Source class> to a <Dest class>".
  virtual void Assign(const TPersistent* Source);
  // Copies this object into Dest; the base version raises EConvertError "Cannot assign a ...".
  virtual void AssignTo(TPersistent* Dest) const;
};

// An object with an optional owner, which destroys it, and a name; owns other components.
class TComponent : public TPersistent {
 public:
  // Joins AOwner's components (nullptr: no owner); the owner deletes it on its own destruction.
  explicit TComponent(TComponent* AOwner = nullptr);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;
  TComponent(TComponent&&) = delete;
  TComponent& operator=(TComponent&&) = delete;

  // The owner, nullptr when there is none.
  TComponent* Owner() const { return FOwner; }
  // The name, empty until set.
  const std::string& Name() const { return FName; }
  // Sets the name; no check for uniqueness.
  void SetName(const std::string& NewName) { FName = NewName; }

  // Number of components this one owns.
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
