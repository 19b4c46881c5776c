#include "foundation/FoundationConversions.h"

#include "support/PlatformError.h"

#import <CoreFoundation/CoreFoundation.h>

namespace norla {

NSString* toNSString(std::string_view text)
{
    NSString* string = [[NSString alloc] initWithBytes:text.data() length:text.size() encoding:NSUTF8StringEncoding];
    return string ?: @"";
}

std::string toString(NSString* _Nullable text)
{
    if (!text)
        return {};
    const char* utf8 = text.UTF8String;
    return utf8 ? std::string(utf8) : std::string();
}

id toObject(const Value& value)
{
    switch (value.type()) {
    case Value::Type::null:
        return [NSNull null];
    case Value::Type::boolean:
        return [NSNumber numberWithBool:*value.asBool() ? YES : NO];
    case Value::Type::integer:
        return [NSNumber numberWithLongLong:*value.asInteger()];
    case Value::Type::number:
        return [NSNumber numberWithDouble:*value.asDouble()];
    case Value::Type::string:
        return toNSString(*value.asString());
    case Value::Type::array: {
        NSMutableArray* array = [NSMutableArray array];
        for (const auto& element : *value.asArray())
            [array addObject:toObject(element)];
        return array;
    }
    case Value::Type::object: {
        NSMutableDictionary* dictionary = [NSMutableDictionary dictionary];
        for (const auto& [key, element] : *value.asObject())
            dictionary[toNSString(key)] = toObject(element);
        return dictionary;
    }
    }
    return [NSNull null];
}

Value toValue(id _Nullable object)
{
    if (!object || [object isKindOfClass:[NSNull class]])
        return nullptr;
    if ([object isKindOfClass:[NSString class]])
        return toString((NSString*)object);
    if ([object isKindOfClass:[NSNumber class]]) {
        NSNumber* number = object;
        // JavaScript booleans arrive as the shared boolean numbers, whose type is CFBoolean.
        if (CFGetTypeID((__bridge CFTypeRef)number) == CFBooleanGetTypeID())
            return number.boolValue == YES;
        double real = number.doubleValue;
        long long integer = number.longLongValue;
        if (static_cast<double>(integer) == real)
            return static_cast<std::int64_t>(integer);
        return real;
    }
    if ([object isKindOfClass:[NSArray class]]) {
        Value::Array array;
        for (id element in (NSArray*)object)
            array.push_back(toValue(element));
        return array;
    }
    if ([object isKindOfClass:[NSDictionary class]]) {
        Value::Object dictionary;
        NSDictionary* source = object;
        for (id key in source) {
            if ([key isKindOfClass:[NSString class]])
                dictionary.emplace(toString((NSString*)key), toValue(source[key]));
        }
        return dictionary;
    }
    return nullptr;
}

Error toError(NSError* _Nullable error)
{
    if (!error)
        return platformFailure("unknown error");
    return platformError(toString(error.domain), static_cast<long>(error.code), toString(error.localizedDescription));
}

NSURL* _Nullable toNSURL(const Url& url) { return [NSURL URLWithString:toNSString(url.absoluteString)]; }

NSURL* toFileURL(const std::filesystem::path& path) { return [NSURL fileURLWithPath:toNSString(path.string())]; }

std::optional<Url> toUrl(NSURL* _Nullable url)
{
    if (!url)
        return std::nullopt;
    return parseUrl(toString(url.absoluteString));
}

} // namespace norla
