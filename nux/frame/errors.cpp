#include "nux/frame/errors.h"

namespace nux {

std::string ComponentMessage(const std::string& ComponentName, const std::string& Text) {
  return "Component \"" + ComponentName + "\": " + Text;
}

std::string ComponentMessage(const TComponent& Component, const std::string& Text) {
  return ComponentMessage(Component.Name(), Text);
}

std::string ComponentMessage(const TComponent& Component, const std::string& Method,
                             const std::string& Text) {
  return ComponentMessage(Component.Name() + "." + Method, Text);
}

std::string QuotedArgMessage(const std::string& Text, const std::string& Argument) {
  return Text + "\"" + Argument + "\"";
}

}  // namespace nux
