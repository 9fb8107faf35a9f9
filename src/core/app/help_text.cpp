#include "app/help_text.h"

#include <QStringList>

QString BuildHelpText()
{
    const QString crlf = QStringLiteral("\r\n");
    const QStringList dutch = {
        QStringLiteral(
            "Met dit programma kunnen maximaal 100 willekeurige foto's en/of plaatjes met een extensie van "),
        QStringLiteral("Jpg, Gif of Bmp worden geexporteerd "),
        QStringLiteral("naar 6 verschillende foto-slideshows en als Html pagina's worden geconverteerd. "),
        QStringLiteral(
            "Door slechts \u00e9\u00e9n druk op de knop wordt automatisch de gekozen pagina gemaakt "),
        QStringLiteral("zonder ook maar iets van programmeren van Html te weten. "),
        QStringLiteral(
            "De gemaakte pagina, directory en foto's en/of plaatjes wordt in de applicatie-map geplaatst. "),
    };
    const QStringList english = {
        QStringLiteral("With this program you can design full automatically maximal 100 pictures "),
        QStringLiteral(
            "or photo's with the formats Jpg, Gif and Bmp in any size to an photo-slideshow in Html pages "),
        QStringLiteral("without knowledge of html-programming. "),
    };

    QString text;
    text += QStringLiteral("Nederlandse uitleg") + crlf;
    text += QString(27, QLatin1Char('-')) + crlf;
    text += dutch.join(QString());
    text += crlf + crlf;
    text += QStringLiteral("Englisch explanation") + crlf;
    text += QString(29, QLatin1Char('-')) + crlf;
    text += english.join(QString());
    return text;
}
