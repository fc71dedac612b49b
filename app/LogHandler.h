#pragma once

#include <QString>
#include <QtGlobal>

// The process-wide message handler: every debug, warning, critical and fatal message goes, one
// line each, into the run's log file. Installed before anything else can log.
void logMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message);

// "./logs/" + start time + ".log"; empty until start-up names it (lines before that are dropped).
void setLogFileName(const QString& name);
QString logFileName();

// The file name for a run started at the given local time.
QString logFileNameFor(const class QDateTime& start);

// One log line without its CR LF: prefix, space, "(" date ")", space, message.
QString formatLogLine(QtMsgType type, const QDateTime& when, const QString& message);
