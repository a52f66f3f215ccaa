#pragma once
// Every refusal, error, closing notice, check result and end of a game the
// lobby server can send, each with its code and its text in plain words, as
// docs/lobby-protocol.md lists them.

#include <string>
#include <string_view>

#include "lobby/lobby_protocol.h"

namespace vornel::lobby::notice {

// LOBBY_refused reasons.
Notice versionRefused(std::string_view theirs);
Notice badName(std::string_view problem);
Notice nameTaken(std::string_view name);
Notice full(int maxPlayers);

// LOBBY_closing reasons.
Notice tooLong();
Notice flood();
Notice loginTimeout();
Notice silent();
Notice shutdown();

// LOBBY_error codes.
Notice unknown();
Notice badFields();
Notice notLoggedIn();
Notice secondLogin(std::string_view name);
Notice noTable(int table);
Notice notYourTable(int table);
Notice seatTaken(int table, int seat);
Notice badSeat();
Notice watchersFull(int table);
Notice atTable(int table);
Notice notAtTable(int table);
Notice hostSeat();
Notice already();
Notice notSeated(int table);
Notice tableBusy(int table);
Notice noPlayer(int table, std::string_view name);
Notice title(std::string_view problem);
Notice chat(std::string_view problem);
Notice chatFlood();
Notice badPort();
Notice badAddress();
Notice badToken();
Notice noCheck(int table);
Notice unexpected(int table);
Notice noGameStarted();

// LOBBY_probe texts.
std::string probeText(ProbeResult result, std::string_view address, int port);

// LOBBY_gameover and LOBBY_tableclosed reasons, LOBBY_removed text.
Notice hostLeftGame(int table);
// `seated`: a player's seat goes to the computer; otherwise a watcher's game.
Notice late(int table, bool seated);
Notice startFailed(int table);
Notice hostLeftTable(int table);
std::string removedText(int table);

}  // namespace vornel::lobby::notice
