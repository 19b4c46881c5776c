#pragma once

// Conversions between Foundation objects and the core's values, for the Objective-C++ adapters only.

#import <Foundation/Foundation.h>

#include "platform/Error.h"
#include "platform/Url.h"
#include "platform/Value.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

NS_ASSUME_NONNULL_BEGIN

namespace norla {

NSString* toNSString(std::string_view text);
std::string toString(NSString* _Nullable text);

// JSON-shaped Foundation objects (NSString, NSNumber, NSNull, NSArray, NSDictionary) and back. Booleans
// stay booleans both ways; objects of other classes become null.
id toObject(const Value& value);
Value toValue(id _Nullable object);

// The error's own domain, code and localized description.
Error toError(NSError* _Nullable error);

NSURL* _Nullable toNSURL(const Url& url);
NSURL* toFileURL(const std::filesystem::path& path);
// A URL the platform produced, through the installed URL parser, so that it reads as every other URL.
std::optional<Url> toUrl(NSURL* _Nullable url);

} // namespace norla

NS_ASSUME_NONNULL_END
