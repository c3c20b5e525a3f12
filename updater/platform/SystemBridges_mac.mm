// macOS system bridges: the platform expert's hardware UUID and opening a
// file through the workspace.
#include "SystemBridges.h"

#import <AppKit/AppKit.h>
#include <IOKit/IOKitLib.h>

QString GetHardwareUUID()
{
    QString result;
    io_service_t service = IOServiceGetMatchingService(kIOMasterPortDefault,
                                                       IOServiceMatching("IOPlatformExpertDevice"));
    if (!service)
        return result;
    CFTypeRef property = IORegistryEntryCreateCFProperty(service, CFSTR("IOPlatformUUID"),
                                                         kCFAllocatorDefault, 0);
    if (property) {
        if (CFGetTypeID(property) == CFStringGetTypeID())
            result = QString::fromCFString(static_cast<CFStringRef>(property));
        CFRelease(property);
    }
    IOObjectRelease(service);
    return result;
}

bool processMacAppOpenfile(QString application, QString file)
{
    NSString* path = file.toNSString();
    if (application.isEmpty())
        return [[NSWorkspace sharedWorkspace] openFile:path];
    return [[NSWorkspace sharedWorkspace] openFile:path withApplication:application.toNSString()];
}
