#include "lobby/lobby_notices.h"

namespace vornel::lobby::notice {

namespace {

std::string n(int number) { return std::to_string(number); }

std::string cat(std::initializer_list<std::string_view> parts) {
    std::string out;
    for (const std::string_view part : parts) out += part;
    return out;
}

constexpr std::string_view kAnyway = " You may start anyway for players on your own network.";

}  // namespace

Notice versionRefused(std::string_view theirs) {
    return {"version", cat({"This lobby server speaks lobby protocol ", n(kProtocolVersion), " and your lobby speaks ",
                            theirs.empty() ? std::string_view("an unknown one") : theirs,
                            ": use the same version of Vornel as the server."})};
}
Notice badName(std::string_view problem) { return {"name", std::string(problem)}; }
Notice nameTaken(std::string_view name) { return {"nametaken", cat({"The name ", name, " is taken: choose another."})}; }
Notice full(int maxPlayers) {
    return {"full", cat({"The lobby is full (", n(maxPlayers), " players): try again later."})};
}

Notice tooLong() { return {"toolong", "Your lobby sent a message longer than 1024 bytes."}; }
Notice flood() { return {"flood", "Your lobby sent more than 100 messages at once."}; }
Notice loginTimeout() { return {"logintimeout", "No login came within 30 seconds."}; }
Notice silent() { return {"silent", "Nothing came from your lobby for 45 seconds."}; }
Notice shutdown() { return {"shutdown", "The lobby server is shutting down."}; }

Notice unknown() { return {"unknown", "The lobby does not know that request."}; }
Notice badFields() { return {"badfields", "That request's fields do not read."}; }
Notice notLoggedIn() { return {"notloggedin", "Log in first."}; }
Notice secondLogin(std::string_view name) {
    return {"secondlogin", cat({"You are logged in already, as ", name, "."})};
}
Notice noTable(int table) { return {"notable", cat({"There is no table ", n(table), ": it may have closed."})}; }
Notice notYourTable(int table) { return {"notyourtable", cat({"Only the host of table ", n(table), " can do that."})}; }
Notice seatTaken(int table, int seat) {
    return {"seattaken", cat({"Seat ", n(seat), " at table ", n(table), " is taken."})};
}
Notice badSeat() { return {"badseat", "Players sit in seats 2 to 4; seat 1 is the host's."}; }
Notice watchersFull(int table) { return {"watchersfull", cat({"Table ", n(table), " has 5 watchers already."})}; }
Notice atTable(int table) { return {"attable", cat({"You are at table ", n(table), ": leave it first."})}; }
Notice notAtTable(int table) { return {"notattable", cat({"You are not at table ", n(table), "."})}; }
Notice hostSeat() { return {"hostseat", "The host stays in seat 1: leave the table to close it."}; }
Notice already() { return {"already", "You are there already."}; }
Notice notSeated(int table) { return {"notseated", cat({"You are not in a seat at table ", n(table), "."})}; }
Notice tableBusy(int table) {
    return {"tablebusy", cat({"The game at table ", n(table), " is starting or running: wait until it ends."})};
}
Notice noPlayer(int table, std::string_view name) {
    return {"noplayer", cat({name, " is not at table ", n(table), "."})};
}
Notice title(std::string_view problem) { return {"title", std::string(problem)}; }
Notice chat(std::string_view problem) { return {"chat", std::string(problem)}; }
Notice chatFlood() { return {"chatflood", "You are chatting too fast: wait a few seconds."}; }
Notice badPort() { return {"badport", "The game port must be 1 to 65535."}; }
Notice badAddress() {
    return {"badaddress",
            "The local address must be one computer's IPv4 address: four numbers from 0 to 255 with dots between them."};
}
Notice badToken() { return {"badtoken", "The check's token has 8 to 64 letters and digits."}; }
Notice noCheck(int table) {
    return {"nocheck", cat({"There is no failed check to start past at table ", n(table), ": press Start."})};
}
Notice unexpected(int table) {
    return {"unexpected", cat({"That does not fit the start of table ", n(table), " now."})};
}
Notice noGameStarted() { return {"unexpected", "No game was started for you."}; }

std::string probeText(ProbeResult result, std::string_view address, int port) {
    const std::string p = n(port);
    const std::string at = cat({" at ", address, " on TCP port ", p});
    const std::string open = cat({" Players outside your home network cannot join until TCP port ", p,
                                  " is opened on your router and forwarded to this computer"});
    switch (result) {
    case ProbeResult::Reachable:
        return cat({"The lobby server reached your game's port (TCP ", p, " at ", address, "). Starting the game."});
    case ProbeResult::Refused:
        return cat({"The lobby server could not reach your computer", at, ": nothing answered there.", open,
                    ", as Help explains under \"Connecting\".", kAnyway});
    case ProbeResult::NoAnswer:
        return cat({"The lobby server got no answer from your computer", at, ": a router or firewall holds it back.",
                    open, ", and the firewall lets the game in, as Help explains under \"Connecting\".", kAnyway});
    case ProbeResult::Other:
        return cat({"Another program answered on TCP port ", p, " at ", address,
                    ", not your lobby: the router may forward that port to another computer.",
                    " Players outside your home network cannot join until TCP port ", p,
                    " is forwarded to this computer, as Help explains under \"Connecting\".", kAnyway});
    case ProbeResult::NotReady:
        return cat({"Your lobby did not listen on TCP port ", p,
                    " for the check: another program on this computer may be using that port.", kAnyway});
    }
    return {};
}

Notice hostLeftGame(int table) {
    return {"hostleft", cat({"The host left: the game at table ", n(table), " is over."})};
}
Notice late(int table, bool seated) {
    return {"late", cat({"Your game did not reach the host's game at table ", n(table), " in time",
                         seated ? ": the computer plays your seat." : "."})};
}
Notice startFailed(int table) {
    return {"failed", cat({"The host's game at table ", n(table), " could not be started."})};
}
Notice hostLeftTable(int table) {
    return {"hostleft", cat({"The host left: table ", n(table), " has closed."})};
}
std::string removedText(int table) { return cat({"You were removed from table ", n(table), " by its host."}); }

}  // namespace vornel::lobby::notice
