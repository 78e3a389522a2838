#pragma once
// The settings page's web link comes from a data file (Net.xml) that anyone
// who can write the program's folder can change. Only a web address is handed
// to the desktop's opener: anything else (a local file, a share, a shell
// scheme, a program's own scheme) is refused.

#include <QString>
#include <QUrl>

namespace WebLink {

// The address to open for the link's text: an http or https URL with a host;
// a bare "www." host gets "https://". An empty (invalid) URL for anything else.
QUrl Checked(const QString &text);

}  // namespace WebLink
