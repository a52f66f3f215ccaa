// The help window's pages, in the program's own words.

#include "app/help_window.h"

namespace vornel::app {

namespace {

const char kOverview[] = R"(
<h3>Welcome to Vornel</h3>
<p>Vornel is a quick trick-taking card game for four players. It is a
<b>team game</b>: the players in seats 1 and 3 form the <b>Tan Team</b>, the
players in seats 2 and 4 the <b>Blue Team</b>, and partners sit across the
table from each other. You win or lose together with your partner.</p>
<p>Each hand, one team names trump and tries to take at least three of the
five tricks. Points are scored for making trump and taking the tricks, or for
stopping the other team from doing so. The first team to reach the score the
host set at the start wins the game.</p>
<p>You never need four people to play. <b>Computer players fill the seats</b>
when there are not enough human players: play alone against three computer
players, or with a friend as your partner and the computer against you. When a
player leaves during a game, a computer player takes over the seat at once and
the game goes on.</p>
<p>Up to five more people can join a game as watchers. They see the table and
can chat, but they do not play.</p>
<p>Use the buttons on the left to read how to connect, how a hand is played
and how the points are counted.</p>
)";

const char kConnecting[] = R"(
<h3>Solo games</h3>
<p>Started on its own, Vornel opens a solo game: you sit in seat 1 and the
computer plays the other three seats. Press the <b>Start Game</b> button on the
table (or choose <i>File - Start Game</i>), pick the points to play to, and the
first hand is dealt. A solo game runs entirely on your computer, so it can be
played offline, with no internet connection at all.</p>
<h3>Multi-player games</h3>
<p>Games with other people are found and started through the <b>Zelmo7 Gaming
Lobby</b>, the lobby program that is installed with Vornel: open <b>The Zelmo7
Lobby</b> from your desktop's menu, or press <b>Play with Others</b> in the window
that Vornel shows when you start a solo game.</p>
<p>In the lobby, type your name and the address of a lobby server, and press
<b>Connect</b>. Playing on your home network? One of you presses <b>Start a lobby
on this computer</b>, and the lobby shows the address the others type.</p>
<p>In the lobby everybody chats and sees the tables. Make a table with <b>New
Table</b> and you are its host, in seat 1; the others press <b>Sit</b> to take a
seat, or <b>Watch</b>. When everybody is there the host presses <b>Start</b>, and
the lobby starts Vornel for each player: the host's copy hosts the game, the
others join it, every player in the seat he took in the lobby, and the watchers
watch. Nobody types an address. Seats that nobody took are played by the
computer.</p>
<p>Before the game starts, the lobby server checks that it can reach the
host's game on TCP port 7772. If it cannot, the lobby tells the host what to do;
players on the host's own network can still join, and the host may press
<b>Start anyway</b>.</p>
<h3>Hosting</h3>
<p>The host's copy of Vornel runs the game for everyone: it shuffles, deals,
checks every card and plays the empty seats. The other players connect to the
host on <b>TCP port 7772</b>. If you host, incoming connections on port 7772 must
be allowed through your <b>modem, router or firewall</b> (on a router this is
usually called port forwarding). If nobody can join your game, this is the
first thing to check.</p>
<p>The host is usually the first player in the lobby's list. <b>If the host
disconnects, all play ends</b> for everybody at the table. When any other
player leaves, a computer player takes the seat.</p>
)";

const char kGamePlay[] = R"(
<h3>The cards</h3>
<p>Vornel uses a deck of <b>24 cards</b>: the nine, ten, jack, queen, king and ace
of Clubs, Diamonds, Spades and Hearts.</p>
<h3>The deal</h3>
<p>The dealer gives each player five cards, in sets of <b>2-3 or 3-2</b>. The next
card of the deck, the <b>top card</b>, is turned up for everyone to see. The deal
moves one seat to the left after every hand.</p>
<h3>Rank of cards</h3>
<p>The highest trump is the jack of the trump suit, called the <b>Right
Bower</b>. Next comes the other jack of the same colour, the <b>Left Bower</b>,
which counts as a trump and not as a card of its own suit. Then follow the ace,
king, queen, ten and nine of trump. In the other suits the cards rank ace,
king, queen, jack, ten, nine, and only the suit that was led can win a trick
when no trump is played.</p>
<h3>Making trump</h3>
<p>Starting at the dealer's left, each player in turn either orders the top
card up as trump or passes: "I order it up" (the dealer's partner says
"I assist") or "I pass". Once the card is ordered up, the dealer discards one
card and takes the top card into the hand. At the table, click
<b>Order it Up</b> or <b>Pass</b>; as the dealer, click the card you want to
discard.</p>
<h3>Choosing trump</h3>
<p>If nobody ordered the card up, it is turned down and each player in turn,
again from the dealer's left, may name another suit as trump or pass. The
suit of the turned-down card cannot be named. If nobody names a suit, the hand
is thrown in and the next dealer deals again.</p>
<h3>Going alone</h3>
<p>The player who made trump, the <b>Maker</b>, may choose <b>Alone</b> instead of
<b>With Partner</b>. The partner then sits out the hand and the Maker plays
against both opponents.</p>
<h3>The lead</h3>
<p>The player at the dealer's left leads the first trick. When the Maker plays
alone, the player at the Maker's left leads instead.</p>
<h3>Following suit</h3>
<p>Every player must follow the suit that was led if able. Remember that the
Left Bower belongs to the trump suit. A player who cannot follow may play any
card, a trump or any other.</p>
<h3>Winning tricks</h3>
<p>A trick is won by the highest trump in it, or, if it holds no trump, by the
highest card of the suit led. The winner of a trick leads the next one.</p>
<p>The making team must take at least <b>three of the five tricks</b>. If it
takes fewer, it is <b>Vorneled</b> and the opponents score.</p>
)";

const char kScoring[] = R"(
<h3>Points for a hand</h3>
<p>Only one team scores in a hand:</p>
<table cellpadding="3" border="1" cellspacing="0">
<tr><td>Makers take 3 or 4 tricks</td><td><b>1 point</b></td></tr>
<tr><td>Makers take all five tricks (a <b>march</b>)</td><td><b>2 points</b></td></tr>
<tr><td>A Maker playing alone takes all five tricks</td><td><b>4 points</b></td></tr>
<tr><td>A Maker playing alone takes 3 or 4 tricks</td><td><b>1 point</b></td></tr>
<tr><td>Makers take fewer than three tricks (they are <b>Vorneled</b>)</td><td><b>2 points</b> to the opponents</td></tr>
</table>
<h3>Winning the game</h3>
<p>The host sets the points needed to win, from 5 to 10, when starting the
game. The first team to reach them wins.</p>
<h3>Keeping track</h3>
<p>The score board on the table shows each team's tricks in the current hand
and its score, and after each hand the points just earned. The game log
(<i>View - Game Log</i>) keeps a numbered line for every hand of every game
of your session: <b>M</b> marks the making team, then come the points and the
tricks taken. <i>View - Last Trick</i> shows the trick won most recently,
and <i>View - Tally</i> counts your wins, marches and Vornels between
sessions.</p>
)";

const char kDocumentation[] = R"(
<h3>Version history</h3>
<p><b>1.0.5.3</b></p>
<ul>
<li>The game log and the last-trick window stay open when opened from a menu
or a table button.</li>
<li>The host can remove players and watchers and set seats to just watch from
the pop-up menu on the players' names and from the spy list.</li>
<li>New help pages; the about box shows the folder that keeps your settings
and tally.</li>
</ul>
<p><b>1.0.5.2</b></p>
<ul>
<li>The last-trick window shows the suit that was led and the trump card.</li>
<li>Computer players follow the bot speed chosen by the host.</li>
</ul>
<p><b>1.0.5.1</b></p>
<ul>
<li>Chatter sounds and nine phrase buttons for the chat box.</li>
<li>Players and watchers who join a running game see it as it stands.</li>
</ul>
<p><b>1.0.5.0</b></p>
<ul>
<li>Players can choose to just watch and let the computer play their seat.</li>
<li>The tally keeps your results against other players between sessions.</li>
</ul>
<p><b>1.0.4</b></p>
<ul>
<li>Games to 5 to 10 points; a new turn sound.</li>
</ul>
<p><b>1.0.0</b></p>
<ul>
<li>First release: solo and multi-player games with computer players.</li>
</ul>
)";

const char kLicense[] = R"(
<h3>Terms of use</h3>
<p>Vornel is free of charge for personal use. By installing or playing it
you agree to these terms.</p>
<ol>
<li>You may install Vornel on as many computers as you like and play it
alone or with others.</li>
<li>You may give unchanged copies of Vornel to others free of charge. You
may not sell it or include it in anything that is sold without the maker's
written permission.</li>
<li>You may not change, take apart or remove the notices of the program or
of its pictures and sounds, except where the law allows it.</li>
<li>Vornel is provided "as is", without any warranty. The maker is not
liable for any loss or damage that comes from using it, including lost data
and interrupted games.</li>
<li>Multi-player games connect your computer to other computers. You are
responsible for what you send in the chat and for the settings of your own
modem, router and firewall.</li>
</ol>
<p>If you do not agree to these terms, please do not use Vornel.</p>
)";

}  // namespace

const std::array<HelpPage, 6> kHelpPages{{
    {"Overview", kOverview},
    {"Connecting", kConnecting},
    {"Game Play", kGamePlay},
    {"Scoring", kScoring},
    {"Documentation", kDocumentation},
    {"License", kLicense},
}};

}  // namespace vornel::app
