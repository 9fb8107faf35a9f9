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
