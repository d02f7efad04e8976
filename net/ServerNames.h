// The fixed addresses of the maker's servers. Both host names are chosen at build time (CMake
// cache variables KETTERLIN_UPDATE_HOST and KETTERLIN_WEB_HOST); these are the defaults.
#pragma once

#ifndef KETTERLIN_UPDATE_HOST
#define KETTERLIN_UPDATE_HOST "update.ketterlin.example"
#endif
#ifndef KETTERLIN_WEB_HOST
#define KETTERLIN_WEB_HOST "ketterlin.example"
#endif

// Resolved for the update request and sent as its Host header.
constexpr char kUpdateHost[] = KETTERLIN_UPDATE_HOST;
constexpr unsigned short kHttpPort = 80;

// Opened in the browser when the user accepts a newer version.
constexpr wchar_t kDownloadAddress[] = L"http://" KETTERLIN_WEB_HOST "/ketterlin.zip";
// The maker's web site itself, for links to it.
constexpr wchar_t kWebSiteAddress[] = L"http://" KETTERLIN_WEB_HOST "/";
