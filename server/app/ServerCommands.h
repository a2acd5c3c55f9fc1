#pragma once

struct ServerOptions;

// The commands of orvane-server; each returns the process's exit status.
namespace ServerCommands {

int serve(const ServerOptions& options);
int importXmltv(const ServerOptions& options);
int demoData(const ServerOptions& options);
int demoAudio(const ServerOptions& options);

} // namespace ServerCommands
