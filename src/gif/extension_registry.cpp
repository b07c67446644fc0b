#include "gif/extension_registry.h"

#include <utility>
#include <vector>

#include "gif/graphic_control_extension.h"
#include "gif/text_extensions.h"

namespace tovasel {

namespace {

template <class T>
std::unique_ptr<TGIFExtension> Create(TGIFSubImage& frame) {
  return std::make_unique<T>(frame);
}

// Entries are searched from the back, so the latest registration wins.
std::vector<std::pair<std::uint8_t, TGIFExtensionFactory>>& LabelRegistry() {
  static std::vector<std::pair<std::uint8_t, TGIFExtensionFactory>> registry = {
      {TGIFTextExtension::Label, &Create<TGIFTextExtension>},
      {TGIFGraphicControlExtension::Label, &Create<TGIFGraphicControlExtension>},
      {TGIFCommentExtension::Label, &Create<TGIFCommentExtension>},
      {TGIFApplicationExtension::Label, &Create<TGIFApplicationExtension>},
  };
  return registry;
}

std::vector<std::pair<TAppIdentifier, TGIFExtensionFactory>>& AppRegistry() {
  static std::vector<std::pair<TAppIdentifier, TGIFExtensionFactory>> registry = {
      {MakeAppIdentifier("NETSCAPE2.0"), &Create<TGIFAppExtNSLoop>},
      {MakeAppIdentifier("ANIMEXTS1.0"), &Create<TGIFAppExtNSLoop>},
  };
  return registry;
}

}  // namespace

void RegisterExtensionClass(std::uint8_t label, TGIFExtensionFactory factory) {
  LabelRegistry().emplace_back(label, factory);
}

TGIFExtensionFactory FindExtensionClass(std::uint8_t label) {
  const auto& registry = LabelRegistry();
  for (auto entry = registry.rbegin(); entry != registry.rend(); ++entry) {
    if (entry->first == label) return entry->second;
  }
  return nullptr;
}

void RegisterAppExtensionClass(const TAppIdentifier& identifier, TGIFExtensionFactory factory) {
  AppRegistry().emplace_back(identifier, factory);
}

TGIFExtensionFactory FindAppExtensionClass(const TAppIdentifier& identifier) {
  const auto& registry = AppRegistry();
  for (auto entry = registry.rbegin(); entry != registry.rend(); ++entry) {
    if (entry->first == identifier) return entry->second;
  }
  return &Create<TGIFUnknownAppExtension>;
}

}  // namespace tovasel
