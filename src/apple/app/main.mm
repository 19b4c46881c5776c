// NorlaOffice on the Mac: the UIKit application (Mac Catalyst) whose delegate installs the platform.

#import <UIKit/UIKit.h>

int main(int argc, char* argv[])
{
    @autoreleasepool {
        return UIApplicationMain(argc, argv, nil, @"NorlaAppDelegate");
    }
}
