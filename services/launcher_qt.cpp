// The file test and the launcher where the system has no file attributes: a name starting with
// a dot is hidden, and nothing is a system file.
#include "services/launcher.h"

#include <QFileInfo>
#include <QProcess>
#include <QString>

const std::u16string_view launcher::ProgramExtension = u"";

std::uint32_t launcher::fileAttributes(const std::u16string &path)
{
    const QFileInfo info(QString::fromStdU16String(path));
    if (!info.exists())
        return NoFile;
    return (info.isDir() ? AttributeDirectory : 0u) | (info.isHidden() ? AttributeHidden : 0u);
}

bool launcher::start(const Command &command)
{
    return QProcess::startDetached(QString::fromStdU16String(command.program),
                                   QProcess::splitCommand(QString::fromStdU16String(command.arguments)));
}
