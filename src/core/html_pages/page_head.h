#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

class Host;

// The fixed author credit of every page's author meta line.
QString AuthorCredit();

// The 15 head lines every page starts with (WritePageHead); "</head>" is the writer's own.
QStringList PageHeadLines();

// The first step of every converting page: the pictures are converted at width x height.
// Returns the page colour to write with, or nothing when the conversion was abandoned
// (PageStyle 99; the user has been told and no page is written).
std::optional<QString> ConvertForPage(Host &host, const QString &folder, const QString &fileName,
                                      std::int32_t width, std::int32_t height);

// "#" and the HexColour of the background colour; also stored as PageColour.
QString UpdatePageColour(Host &host);

// programFolder/folder/fileName.html
QString PageFilePath(const Host &host, const QString &folder, const QString &fileName);

// Shows the completion text, pauses one second and opens the page (FinishPage).
void FinishPage(Host &host, const QString &folder, const QString &fileName);

// Writes head + body as the page file and finishes the page. When the file cannot be
// written the user is told which file failed and no page is opened; returns false then.
bool WriteAndFinishPage(Host &host, const QString &folder, const QString &fileName,
                        const QStringList &bodyLines);
