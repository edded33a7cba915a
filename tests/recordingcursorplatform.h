#pragma once

#include "cursor/cursorplatform.h"

#include <QString>
#include <QStringList>

#include <set>

// A cursor platform that writes down every call. Handles are numbered from 100 in the order
// they are made; the current cursor is 7 unless a test says otherwise.
class RecordingCursorPlatform : public cursorplatform::CursorPlatform
{
public:
    using Handle = cursorplatform::Handle;

    QStringList calls;
    Handle current = 7;
    std::set<std::string> existingFiles;
    std::set<Handle> live; // handles made here and neither installed nor destroyed
    Handle installed = 0;
    Handle nextHandle = 100;

    Handle GetCursor() override
    {
        calls << QStringLiteral("GetCursor -> %1").arg(current);
        return current;
    }
    Handle CopyIcon(Handle cursor) override
    {
        const Handle copy = cursor == 0 ? 0 : nextHandle++;
        if (copy != 0)
            live.insert(copy);
        calls << QStringLiteral("CopyIcon %1 -> %2").arg(cursor).arg(copy);
        return copy;
    }
    Handle LoadCursorFromFile(const std::string &path) override
    {
        const Handle loaded = existingFiles.count(path) ? nextHandle++ : 0;
        if (loaded != 0)
            live.insert(loaded);
        calls << QStringLiteral("LoadCursorFromFile %1 -> %2").arg(QString::fromStdString(path)).arg(loaded);
        return loaded;
    }
    bool SetSystemCursor(Handle cursor, std::uint32_t id) override
    {
        const bool ok = live.erase(cursor) == 1 && id == cursorplatform::OCR_NORMAL;
        if (ok)
            installed = cursor;
        calls << QStringLiteral("SetSystemCursor %1 %2 -> %3").arg(cursor).arg(id).arg(ok ? "ok" : "failed");
        return ok;
    }
    void DestroyCursor(Handle cursor) override
    {
        live.erase(cursor);
        calls << QStringLiteral("DestroyCursor %1").arg(cursor);
    }
};
