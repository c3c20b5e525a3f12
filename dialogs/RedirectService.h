#pragma once
// The maker's redirect service, which forwards the agent's links to the right
// web page: the China-region address for the "zh-CN" package type, the global
// one otherwise.
#include <QString>

// "https://" + the service's host, or UPDATER_SERVICE_BASE when it is set.
QString RedirectServiceBase();
