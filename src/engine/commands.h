#pragma once
// Command names of the messages the host engine announces.

#include <string_view>

namespace vornel::cmd {

inline constexpr std::string_view StartGame = "CMD_startgame";
inline constexpr std::string_view Dealer = "CMD_dealer";
inline constexpr std::string_view PlaceCard = "CMD_placecard";
inline constexpr std::string_view SetTrump = "CMD_settrump";
inline constexpr std::string_view Bidder = "CMD_bidder";
inline constexpr std::string_view HePassed = "CMD_hepassed";
inline constexpr std::string_view HeAccepted = "CMD_heaccepted";
inline constexpr std::string_view TrumpChoosen = "CMD_trumpchoosen";
inline constexpr std::string_view Chooser = "CMD_chooser";
inline constexpr std::string_view Aloner = "CMD_aloner";
inline constexpr std::string_view GoingAlone = "CMD_goingalone";
inline constexpr std::string_view Discarder = "CMD_discarder";
inline constexpr std::string_view Switch = "CMD_switch";
inline constexpr std::string_view ClearCards = "CMD_clearcards";
inline constexpr std::string_view NextPlayer = "CMD_nextplayer";
inline constexpr std::string_view PlayedCard = "CMD_playedcard";
inline constexpr std::string_view NotValid = "CMD_notvalid";
inline constexpr std::string_view TrickWinner = "CMD_trickwinner";
inline constexpr std::string_view Score = "CMD_score";
inline constexpr std::string_view TheWinner = "CMD_thewinner";

}  // namespace vornel::cmd
