#pragma once

// Hands the report pages and web addresses of the core to the desktop's own programs.
void installDocumentOpener();
