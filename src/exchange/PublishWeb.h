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

// Uploads every "*.html" page of reportFolder (in name order) into the location's remote folder,
// logged in with user and password, and closes the connection. status receives
// "Transfering <page path>" after each page the server took. An empty reportFolder uploads nothing
// and says so. A failure is reported in a box and ends the publish; returns the pages sent.
int publishReports(const QString& location, const QString& user, const QString& password,
                   const QString& reportFolder, const std::function<void(const QString&)>& status);
