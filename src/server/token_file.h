#pragma once
// The front desk's token, kept in a file: read when the file is there,
// else made from the system's random source and written to a new file
// only its owner may read (mode 0600).

#include <QString>
#include <string>

namespace dsp::server {

// The token file used without --token-file: token in the user's
// configuration folder of the program.
QString DefaultTokenFile();

// The token of `path`, created when the file is missing; empty with
// `problem` set when it cannot be read or made, or holds no token.
std::string LoadOrCreateToken(const QString& path, QString& problem);

}  // namespace dsp::server
