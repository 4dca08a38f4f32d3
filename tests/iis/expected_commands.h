// The appcmd.exe command lines (after the program path) that installing and removing the web
// application must send, written out literally, for site "Default Web Site", folder C:\QIV,
// application qiv and pool QIVPool.
#pragma once

#include <string>
#include <vector>

namespace dk::iis::expected {

inline const std::vector<std::string> kInstallFlags0 = {
    "add apppool /name:\"QIVPool\" /managedRuntimeVersion: /managedPipelineMode:Classic "
    "/processModel.identityType:LocalSystem",
    "set apppool \"QIVPool\" /enable32BitAppOnWin64:true",
    "add app /site.name:\"Default Web Site\" /path:\"/qiv\" /physicalPath:\"C:\\QIV\\html\" "
    "/applicationPool:\"QIVPool\"",
    "add vdir /app.name:\"Default Web Site/qiv\" /path:/upload /physicalPath:\"C:\\QIV\\upload\"",
    "add vdir /app.name:\"Default Web Site/qiv\" /path:/inline /physicalPath:\"C:\\QIV\\engine\\temp\"",
    "unlock config \"Default Web Site/\" /section:system.webServer/handlers /commitPath:apphost",
};

inline const std::vector<std::string> kInstallFlags3 = {
    "add apppool /name:\"QIVPool\" /managedRuntimeVersion: /managedPipelineMode:Classic "
    "/processModel.identityType:LocalSystem",
    "set apppool \"QIVPool\" /enable32BitAppOnWin64:true",
    "add app /site.name:\"Default Web Site\" /path:\"/qiv\" /physicalPath:\"C:\\QIV\\html\" "
    "/applicationPool:\"QIVPool\"",
    "add vdir /app.name:\"Default Web Site/qiv\" /path:/admin /physicalPath:\"C:\\QIV\\admin\"",
    "add vdir /app.name:\"Default Web Site/qiv\" /path:/upload /physicalPath:\"C:\\QIV\\upload\"",
    "add vdir /app.name:\"Default Web Site/qiv\" /path:/inline /physicalPath:\"C:\\QIV\\engine\\temp\"",
    "add vdir /app.name:\"Default Web Site/qiv\" /path:/scripts /physicalPath:\"C:\\QIV\\scripts\"",
    "unlock config \"Default Web Site/\" /section:system.webServer/handlers /commitPath:apphost",
    "unlock config \"Default Web Site/qiv/admin\" /section:handlers",
    "unlock config \"Default Web Site/qiv/scripts\" /section:handlers",
    "set config \"Default Web Site/qiv/admin\" /section:handlers "
    "/+[name='TOVEX',path='*.pyx',verb='*',modules='IsapiModule',scriptProcessor='C:\\QIV\\scripts\\tovex."
    "dll']",
    "set config \"Default Web Site/qiv/admin\" /section:handlers /[name='TOVEX'].resourceType:File",
    "set config \"Default Web Site/qiv/admin\" /section:handlers /[name='TOVEX'].requireAccess:Execute",
    "set config \"Default Web Site/qiv/admin\" /section:handlers /accessPolicy:Read,Script,Execute",
    "set config \"Default Web Site/qiv/scripts\" /section:handlers /accessPolicy:Read,Script,Execute",
    "set config /section:isapiCgiRestriction "
    "/+[path='C:\\QIV\\scripts\\tovex.dll',allowed='true',description='TOVEX.DLL']",
    "set config /section:isapiCgiRestriction "
    "/+[path='C:\\QIV\\scripts\\tovex.exe',allowed='true',description='TOVEX.EXE']",
};

inline const std::vector<std::string> kRemoveFlags3 = {
    "set config /section:isapiCgiRestriction /-[path='C:\\QIV\\scripts\\tovex.dll']",
    "set config /section:isapiCgiRestriction /-[path='C:\\QIV\\scripts\\tovex.exe']",
    "set config \"Default Web Site/qiv/admin\" /section:handlers /-[name='TOVEX']",
    "delete vdir /vdir.name:\"Default Web Site/qiv/admin\"",
    "delete vdir /vdir.name:\"Default Web Site/qiv/upload\"",
    "delete vdir /vdir.name:\"Default Web Site/qiv/inline\"",
    "delete vdir /vdir.name:\"Default Web Site/qiv/scripts\"",
    "delete vdir /vdir.name:\"Default Web Site/qiv/\"",
    "delete app \"Default Web Site/qiv\"",
    "delete apppool \"QIVPool\"",
};

inline const std::vector<std::string> kRemoveFlags0 = {
    "delete vdir /vdir.name:\"Default Web Site/qiv/upload\"",
    "delete vdir /vdir.name:\"Default Web Site/qiv/inline\"",
    "delete vdir /vdir.name:\"Default Web Site/qiv/\"",
    "delete app \"Default Web Site/qiv\"",
    "delete apppool \"QIVPool\"",
};

// The messages removal traces when every step of flags 3 fails with code 1168.
inline const std::vector<std::string> kRemoveFlags3Failures = {
    "cannot remove isapi settings on tovex.dll (error=1168)",
    "cannot remove cgi settings on tovex.exe (error=1168)",
    "cannot remove tovex handler (error=1168)",
    "cannot remove virtual dir \"qiv/admin\" (error=1168)",
    "cannot remove virtual dir \"qiv/upload\" (error=1168)",
    "cannot remove virtual dir \"qiv/inline\" (error=1168)",
    "cannot remove virtual dir \"qiv/scripts\" (error=1168)",
    "cannot remove virtual dir \"qiv\" (error=1168)",
    "cannot remove app \"qiv\" (error=1168)",
    "cannot remove apppool \"QIVPool\" (error=1168)",
};

}  // namespace dk::iis::expected
