#pragma once

#include "shared/host.h"
#include "shared/production_request.h"

// Runs the production the request's PageStyle names (nothing for 0; an unknown one is refused) and
// tells how it ended. It reads nothing but the request and tells the user only through
// `feedback`; the caller shows the result's message and stores what the result carries.
// Any number of pictures: the limit of 100 is the Make command's.
ProductionResult Produce(const ProductionRequest &request, Host &feedback);
