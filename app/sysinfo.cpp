#include "app/sysinfo.h"

#include "services/registry/keyvalue.h"
#include "services/runtimeservices.h"

#include <QCoreApplication>

#include <exception>
#include <string>

namespace {

constexpr char ToolKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr char ToolValue[] = "PATH";
constexpr char FolderKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr char FolderValue[] = "MSINFO";

// Whether the tool was found, and where.
bool findTool(RuntimeServices &services, registry::Registry &reg, QString &path)
{
    // One text for both lookups: a value of another type leaves whatever the first one left.
    std::string value;
    if (registry::GetKeyValue(reg, registry::HKeyLocalMachine, ToolKey, ToolValue, value)) {
        // Taken as it is, a command line: a wrong path shows up when the start fails.
        path = QString::fromLocal8Bit(value.data(), static_cast<qsizetype>(value.size()));
        return true;
    }
    // An empty folder (a value of another type, or of a lone zero) would make the path
    // "\MSINFO32.EXE", at the root of whatever drive is current: a stick's planted file.
    if (!registry::GetKeyValue(reg, registry::HKeyLocalMachine, FolderKey, FolderValue, value)
        || value.empty())
        return false;
    path = QString::fromLocal8Bit(value.data(), static_cast<qsizetype>(value.size()))
           + QStringLiteral("\\MSINFO32.EXE");
    if (!services.FileExists(path))
        return false;
    // The file found is the program: quoted, so that the blanks of a folder such as "Program
    // Files" cannot make the launcher take a shorter name for it.
    path = QLatin1Char('"') + path + QLatin1Char('"');
    return true;
}

}

void StartSysInfo(RuntimeServices &services, registry::Registry &reg)
{
    try {
        QString path;
        if (findTool(services, reg, path) && services.Shell(path))
            return;
    } catch (const std::exception &) {
        // Such as a value stored with no bytes: the user hears the same as for any failure.
    }
    services.MsgBox(
            QCoreApplication::translate("StartSysInfo", "System Information Is Unavailable At This Time"),
            RuntimeServices::Buttons::Ok);
}
