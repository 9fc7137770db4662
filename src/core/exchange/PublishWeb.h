#pragma once

#include <QString>

#include <functional>

// A publish location split at its first "/": the host before it, the remote folder after it.
// Without a "/" the folder is the server's root "/"; a location ending in its first "/" has an
// empty folder (the login folder).
struct PublishLocation {
    QString host;
    QString folder;
};
PublishLocation splitLocation(const QString& location);

struct PublishResult {
    int sent = 0;          // pages the server took
    bool complete = false; // every page of the folder was sent
};

// Uploads every "*.html" page of reportFolder (in name order) into the location's remote folder,
// logged in with user and password, and closes the connection. status receives
// "Transfering <page path>" after each page the server took. An empty reportFolder uploads nothing
// and says so; so do a folder that does not exist and one without pages, before connecting. A
// failure is reported in a box and ends the publish.
PublishResult publishReports(const QString& location, const QString& user, const QString& password,
                             const QString& reportFolder, const std::function<void(const QString&)>& status);
