#include "shared/production_request.h"

QStringList ProductionRequest::names() const
{
    QStringList result;
    for (const SelectedPicture &picture : selection)
        result << picture.name;
    return result;
}

QStringList ProductionRequest::paths() const
{
    QStringList result;
    for (const SelectedPicture &picture : selection)
        result << picture.path;
    return result;
}

QStringList KeptPaths(const ProductionRequest &request, const ProductionResult &result)
{
    QStringList kept;
    qsizetype next = 0; // the next left-out picture; they come in selection order
    for (const SelectedPicture &picture : request.selection) {
        if (next < result.leftOut.size() && result.leftOut[next].path == picture.path)
            ++next;
        else
            kept << picture.path;
    }
    return kept;
}
