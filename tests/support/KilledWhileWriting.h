#pragma once

#include <QtGlobal>

#include <functional>

// Runs work in a child process that the system ends abruptly, as a kill or a power cut would,
// once it has written more than `limit` bytes to any one file (its file-size limit). True when
// the child was ended that way, midway; false when work finished within the limit or the child
// could not be started.
bool killedWhileWriting(const std::function<void()>& work, qint64 limit);
