#pragma once

#include <cstdint>
#include <memory>

#include "gif/application_extension.h"

namespace tovasel {

// Creates an extension of one class on a frame.
using TGIFExtensionFactory = std::unique_ptr<TGIFExtension> (*)(TGIFSubImage& frame);

// Which class handles an extension label, or an application identifier, when
// a GIF stream is read. Registering again puts the new entry first, so it
// overrides an older one. Unknown labels give null; unknown identifiers give
// the factory of TGIFUnknownAppExtension.
void RegisterExtensionClass(std::uint8_t label, TGIFExtensionFactory factory);
TGIFExtensionFactory FindExtensionClass(std::uint8_t label);
void RegisterAppExtensionClass(const TAppIdentifier& identifier, TGIFExtensionFactory factory);
TGIFExtensionFactory FindAppExtensionClass(const TAppIdentifier& identifier);

}  // namespace tovasel
