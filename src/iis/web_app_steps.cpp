#include "iis/web_app_steps.h"

#include "iis/text_format.h"

namespace dk::iis {
namespace {

constexpr char kAppcmd[] = "%s\\system32\\inetsrv\\appcmd.exe ";

// A command from its template (after the program) and the values that follow the Windows folder.
template <class... Values>
std::string Command(const WebAppValues& v, const char* tail, const Values&... values) {
    const std::string format = std::string(kAppcmd) + tail;
    return Format(format.c_str(), v.windir.c_str(), values.c_str()...);
}

WebAppStep Required(std::string command, std::string on_success) {
    return WebAppStep{std::move(command), true, std::move(on_success), "", "", false};
}

// A removal step: never stops the sequence; its failure is traced as head, code, tail.
WebAppStep Removal(std::string command, std::string head) {
    return WebAppStep{std::move(command), false, "", std::move(head), ")", true};
}

}  // namespace

std::vector<WebAppStep> InstallSteps(const WebAppValues& v) {
    const bool admin = (v.flags & kFlagAdmin) != 0;
    const bool scripts = (v.flags & kFlagScripts) != 0;
    const std::string& site = v.site_name;
    const std::string& app = v.application;
    const std::string& folder = v.folder;
    std::vector<WebAppStep> steps;

    steps.push_back(Required(Command(v,
                                     "add apppool /name:\"%s\" /managedRuntimeVersion: "
                                     "/managedPipelineMode:Classic /processModel.identityType:LocalSystem",
                                     v.pool),
                             "Application pool created"));
    steps.push_back(WebAppStep{Command(v, "set apppool \"%s\" /enable32BitAppOnWin64:true", v.pool), false,
                               "32bit application enabled", "Cannot enable 32bit application", "", false});
    steps.push_back(Required(Command(v,
                                     "add app /site.name:\"%s\" /path:\"/%s\" /physicalPath:\"%s\\html\" "
                                     "/applicationPool:\"%s\"",
                                     site, app, folder, v.pool),
                             "Application created"));
    if (admin) {
        steps.push_back(
            Required(Command(v, "add vdir /app.name:\"%s/%s\" /path:/admin /physicalPath:\"%s\\admin\"", site,
                             app, folder),
                     "VDIR \"admin\" created"));
    }
    steps.push_back(
        Required(Command(v, "add vdir /app.name:\"%s/%s\" /path:/upload /physicalPath:\"%s\\upload\"", site,
                         app, folder),
                 "VDIR \"upload\" created"));
    steps.push_back(
        Required(Command(v, "add vdir /app.name:\"%s/%s\" /path:/inline /physicalPath:\"%s\\engine\\temp\"",
                         site, app, folder),
                 "VDIR \"inline\" created"));
    if (scripts) {
        steps.push_back(Required(Command(v,
                                         "add vdir /app.name:\"%s/%s\" /path:/scripts "
                                         "/physicalPath:\"%s\\scripts\"",
                                         site, app, folder),
                                 "VDIR \"scripts\" created"));
    }
    steps.push_back(WebAppStep{
        Command(v, "unlock config \"%s/\" /section:system.webServer/handlers /commitPath:apphost", site),
        false, "handlers configuration unlocked in apphost",
        "cannot unlock handlers configuration in apphost (", ")", true});
    if (admin) {
        steps.push_back(Required(Command(v, "unlock config \"%s/%s/admin\" /section:handlers", site, app),
                                 "handlers configuration unlocked (vdir \"admin\")"));
    }
    if (scripts) {
        steps.push_back(Required(Command(v, "unlock config \"%s/%s/scripts\" /section:handlers", site, app),
                                 "handlers configuration unlocked (vdir \"scripts\")"));
    }
    if (admin) {
        steps.push_back(Required(Command(v,
                                         "set config \"%s/%s/admin\" /section:handlers "
                                         "/+[name='TOVEX',path='*.pyx',verb='*',modules='IsapiModule',"
                                         "scriptProcessor='%s\\scripts\\tovex.dll']",
                                         site, app, folder),
                                 "TOVEX handler created"));
        steps.push_back(Required(
            Command(v, "set config \"%s/%s/admin\" /section:handlers /[name='TOVEX'].resourceType:File", site,
                    app),
            "TOVEX handler runs on File"));
        steps.push_back(Required(
            Command(v, "set config \"%s/%s/admin\" /section:handlers /[name='TOVEX'].requireAccess:Execute",
                    site, app),
            "TOVEX handler requires execute permissions"));
        steps.push_back(Required(
            Command(v, "set config \"%s/%s/admin\" /section:handlers /accessPolicy:Read,Script,Execute", site,
                    app),
            "execute permissions assigned to \"admin\" virtual dir"));
    }
    if (scripts) {
        steps.push_back(Required(
            Command(v, "set config \"%s/%s/scripts\" /section:handlers /accessPolicy:Read,Script,Execute",
                    site, app),
            "execute permissions assigned to \"scripts\" virtual dir"));
    }
    if (admin) {
        steps.push_back(
            Required(Command(v,
                             "set config /section:isapiCgiRestriction "
                             "/+[path='%s\\scripts\\tovex.dll',allowed='true',description='TOVEX.DLL']",
                             folder),
                     "tovex.dll is allowed to run"));
    }
    if (scripts) {
        steps.push_back(
            Required(Command(v,
                             "set config /section:isapiCgiRestriction "
                             "/+[path='%s\\scripts\\tovex.exe',allowed='true',description='TOVEX.EXE']",
                             folder),
                     "tovex.exe is allowed to run"));
    }
    return steps;
}

std::vector<WebAppStep> RemovalSteps(const WebAppValues& v) {
    const bool admin = (v.flags & kFlagAdmin) != 0;
    const bool scripts = (v.flags & kFlagScripts) != 0;
    const std::string& site = v.site_name;
    const std::string& app = v.application;
    std::vector<WebAppStep> steps;

    if (admin) {
        steps.push_back(Removal(
            Command(v, "set config /section:isapiCgiRestriction /-[path='%s\\scripts\\tovex.dll']", v.folder),
            "cannot remove isapi settings on tovex.dll (error="));
    }
    if (scripts) {
        steps.push_back(Removal(
            Command(v, "set config /section:isapiCgiRestriction /-[path='%s\\scripts\\tovex.exe']", v.folder),
            "cannot remove cgi settings on tovex.exe (error="));
    }
    if (admin) {
        steps.push_back(
            Removal(Command(v, "set config \"%s/%s/admin\" /section:handlers /-[name='TOVEX']", site, app),
                    "cannot remove tovex handler (error="));
        steps.push_back(Removal(Command(v, "delete vdir /vdir.name:\"%s/%s/admin\"", site, app),
                                "cannot remove virtual dir \"" + app + "/admin\" (error="));
    }
    steps.push_back(Removal(Command(v, "delete vdir /vdir.name:\"%s/%s/upload\"", site, app),
                            "cannot remove virtual dir \"" + app + "/upload\" (error="));
    steps.push_back(Removal(Command(v, "delete vdir /vdir.name:\"%s/%s/inline\"", site, app),
                            "cannot remove virtual dir \"" + app + "/inline\" (error="));
    if (scripts) {
        steps.push_back(Removal(Command(v, "delete vdir /vdir.name:\"%s/%s/scripts\"", site, app),
                                "cannot remove virtual dir \"" + app + "/scripts\" (error="));
    }
    steps.push_back(Removal(Command(v, "delete vdir /vdir.name:\"%s/%s/\"", site, app),
                            "cannot remove virtual dir \"" + app + "\" (error="));
    steps.push_back(
        Removal(Command(v, "delete app \"%s/%s\"", site, app), "cannot remove app \"" + app + "\" (error="));
    steps.push_back(Removal(Command(v, "delete apppool \"%s\"", v.pool),
                            "cannot remove apppool \"" + v.pool + "\" (error="));
    return steps;
}

std::string FailureRecord(const WebAppStep& step, int code) {
    if (!step.with_code) return step.on_failure;
    return step.on_failure + std::to_string(code) + step.on_failure_tail;
}

}  // namespace dk::iis
