#pragma once

#include <QString>
#include <QStringList>

// The copied picture keeps its own type: the lower-cased last four characters of its
// listed file name (".jpg", ".gif", ".bmp").
QString PictureShowExtension(const QString &listedName);

// The Picture Show lines after the common head, from "</head>" to "</html>".
// `names` are the listed file names (List1) in selection order.
QStringList PictureShowBodyLines(const QString &title, const QString &pageColour, const QStringList &names);
