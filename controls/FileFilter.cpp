#include "controls/FileFilter.h"

#include <QStringList>

QString FileFilter::toQt(const QString& filter) {
    // The list ends at the first empty field ("||"); a description without a pattern is
    // dropped.
    const QStringList fields = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < fields.size(); i += 2) {
        QString description = fields[i].trimmed();
        const QString listed = fields[i + 1].trimmed();
        if (description.isEmpty() || listed.isEmpty())
            break;
        QStringList patterns = listed.split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns)
            pattern = pattern.trimmed();
        const QString joined = patterns.join(QLatin1Char(' '));
        // A description that already ends in its patterns ("Images (*.bmp;*.gif)") loses
        // them: the dialogs read the patterns from the last brackets, separated by spaces.
        for (const QString& shown : {listed, joined}) {
            const QString bracketed = QLatin1Char('(') + shown + QLatin1Char(')');
            if (description.endsWith(bracketed)) {
                description.chop(bracketed.size());
                break;
            }
        }
        description = description.trimmed();
        const QString entry = QLatin1Char('(') + joined + QLatin1Char(')');
        entries << (description.isEmpty() ? entry : description + QLatin1Char(' ') + entry);
    }
    return entries.join(QLatin1String(";;"));
}
