#pragma once

#include <QString>
#include <QStringList>

// The fixed author credit of every page's author meta line.
QString AuthorCredit();

// The 15 head lines every page starts with (WritePageHead); "</head>" is the writer's own.
QStringList PageHeadLines();
