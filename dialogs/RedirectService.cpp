#include "RedirectService.h"

#include "Platform.h"
#include "UpdaterApp.h"

namespace {
const char* const kRedirectHost = "go.velto.example";
const char* const kRedirectChinaHost = "go.velto-cn.example";
}

QString RedirectServiceBase()
{
    const bool china = UpdaterApp::GetPackageType() == QLatin1String("zh-CN");
    return Platform::serviceBase(QLatin1String(china ? kRedirectChinaHost : kRedirectHost));
}
