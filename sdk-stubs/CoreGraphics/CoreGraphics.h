// CoreGraphics geometry, as far as the backend uses it.
#pragma once

#include <Foundation/NSObjCRuntime.h>

// [SDK CGBase.h, CGGeometry.h] (64-bit) (unconfirmed)
typedef double CGFloat;
struct CGPoint {
    CGFloat x;
    CGFloat y;
};
typedef struct CGPoint CGPoint;
struct CGSize {
    CGFloat width;
    CGFloat height;
};
typedef struct CGSize CGSize;
struct CGRect {
    CGPoint origin;
    CGSize size;
};
typedef struct CGRect CGRect;
extern "C" {
CG_EXTERN const CGRect CGRectZero;
}
static inline CGRect CGRectMake(CGFloat x, CGFloat y, CGFloat width, CGFloat height)
{
    return CGRect { { x, y }, { width, height } };
}
// [SDK CGDirectDisplay.h]
typedef uint32_t CGDirectDisplayID;
