// A WebDAV multistatus body read with the system's XML reader (XmlLite), DTDs refused.
#pragma once

#include <string>

#include "sync/dav_exchange.h"
#include "sync/dav_url.h"

// Fills answer.responses and answer.syncToken and sets answer.multistatus; a body that is not a
// well-formed multistatus leaves multistatus false with the reason in answer.failure.
void ReadMultistatus(const std::string& body, const DavUrl& requestUrl, DavAnswer& answer);
