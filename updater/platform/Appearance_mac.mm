// macOS appearance bridge: the global domain's "AppleInterfaceStyle" and the
// distributed notification sent when it changes.
#include "Appearance.h"

#import <Foundation/Foundation.h>

@interface CAppearanceMonitorObjC : NSObject {
    CAppearanceObserver* m_pObserver;
}
- (id)init;
- (void)setObserver:(CAppearanceObserver*)observer;
- (BOOL)isDarkMode;
- (void)updateDarkMode;
@end

@implementation CAppearanceMonitorObjC
- (id)init
{
    self = [super init];
    if (self) {
        [[NSDistributedNotificationCenter defaultCenter]
            addObserver:self
               selector:@selector(updateDarkMode)
                   name:@"AppleInterfaceThemeChangedNotification"
                 object:nil];
    }
    return self;
}

- (void)dealloc
{
    // No notification may reach a released monitor.
    [[NSDistributedNotificationCenter defaultCenter] removeObserver:self];
    [super dealloc];
}

- (void)setObserver:(CAppearanceObserver*)observer
{
    m_pObserver = observer;
}

- (BOOL)isDarkMode
{
    NSDictionary* global =
        [[NSUserDefaults standardUserDefaults] persistentDomainForName:NSGlobalDomain];
    id style = [global objectForKey:@"AppleInterfaceStyle"];
    if (!style || ![style isKindOfClass:[NSString class]])
        return NO;
    return [(NSString*)style caseInsensitiveCompare:@"dark"] == NSOrderedSame;
}

- (void)updateDarkMode
{
    if (m_pObserver)
        emit m_pObserver->signal_appearanceChanged([self isDarkMode]);
}
@end

class CAppearanceMonitor
{
public:
    CAppearanceMonitorObjC* object = nil;
};

CAppearanceObserver::CAppearanceObserver(QObject* parent)
    : QObject(parent)
    , m_pMonitor(new CAppearanceMonitor)
{
    m_pMonitor->object = [[CAppearanceMonitorObjC alloc] init];
    [m_pMonitor->object setObserver:this];
}

CAppearanceObserver::~CAppearanceObserver()
{
    [m_pMonitor->object setObserver:nullptr];
    [m_pMonitor->object release];
    delete m_pMonitor;
}

bool CAppearanceObserver::isDarkMode() const
{
    return [m_pMonitor->object isDarkMode];
}

namespace Appearance {

void postAppearanceChangedNotification()
{
    [[NSDistributedNotificationCenter defaultCenter]
        postNotificationName:@"AppleInterfaceThemeChangedNotification"
                      object:nil];
}

int registeredMonitorCount()
{
    return 0;
}

void applySystemAppearance()
{
}

} // namespace Appearance
