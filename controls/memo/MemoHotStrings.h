#pragma once
// Which hot strings of a document may be opened, and as what address.
#include <string>

// The address to open for a hot string: "http", "https", "ftp" and "mailto" addresses as they
// stand, "www." names as http and bare e-mail addresses as mailto. Empty for anything else
// (other schemes, file names, control characters): such text is never handed to the shell.
std::string HotStringToUrl(const std::string& S);
