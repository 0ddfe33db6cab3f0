#pragma once
// The work-log lines of a request that went wrong while the notepad is read or
// written.

#include <string_view>

#include "platform/log_sink.h"

namespace orti {

// Err literals of the notepad reading, each followed by the folder index.
constexpr const char* kErrHeaderNoReply = " Err2 ";
constexpr const char* kErrHeaderErrorReply = " Err1 ";
constexpr const char* kErrChunkNoReply = "Err40 ";
constexpr const char* kErrChunkErrorReply = "Err30 ";
constexpr const char* kErrLastSlotNoReply = "Err41 ";
constexpr const char* kErrLastSlotErrorReply = "Err31 ";

// Pieces the synchronisation joins to its step texts.
constexpr const char* kPieceErrorReply = "Ошибка /принято из порта/";
constexpr const char* kPieceNoReply = "Ошибка";
constexpr const char* kPieceOk = "OK";

// Three lines: the failure, the length of what came back and the text itself
// between single quotes, line ends included.
void ReportFailedReply(LogSink& log, std::string_view replyBuffer);

void LogReadError(LogSink& log, const char* literal, int folder);

}  // namespace orti
