// Clients that would take the server's connections or its memory for bodies from everyone else:
// request heads sent a byte at a time from many addresses, and bodies announced and never sent.
#include "support/ServerTestSupport.h"

#include <stowline/ServiceNamespace.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

using namespace stowline::test;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

const std::string Endpoint = stowline::AsmxPath;

int statusOf(const StandInServer& server, const std::string& operation) {
    try {
        return query(server, operation).status;
    } catch (const std::runtime_error&) {
        return 0; // no answer: the connection was refused or dropped
    }
}

} // namespace

// Eight addresses each open ten connections and send their request heads a byte at a time,
// four bytes a second, while 127.0.0.1 queries. The server holds 64 connections, ten from one
// address: without a share of them that shrinks as the server fills, the eight take all 64,
// and with a read time-out that counts only silence they keep them for as long as they send.
// Each must be closed within the read time-out (2 s) of its start, however steadily it sends,
// as must a kept-alive connection that trickles its second request after its first answer.
// The server inherits a thousand descriptors, so that its connections' numbers pass 1023,
// beyond what select() can wait on.
TEST(SlowClients, HeadsTrickledFromManyAddressesLockNobodyOut) {
    rlimit descriptors{};
    getrlimit(RLIMIT_NOFILE, &descriptors);
    descriptors.rlim_cur = descriptors.rlim_max;
    setrlimit(RLIMIT_NOFILE, &descriptors);
    std::vector<int> inherited(1000);
    std::generate(inherited.begin(), inherited.end(), [] { return ::dup(STDERR_FILENO); });
    const StandInServer server(
        StandInServer::Data::Demo,
        {{"--read-timeout", "2", "--connections", "64", "--connections-per-client", "10"}});
    std::for_each(inherited.begin(), inherited.end(), ::close);

    struct Trickler {
        std::string from;
        std::unique_ptr<RawClient> client;
        Clock::time_point start;
        std::optional<Clock::duration> openFor;
    };
    std::vector<Trickler> tricklers;
    tricklers.push_back({"127.0.0.1 kept alive", std::make_unique<RawClient>(server), {}, {}});
    const std::string page = "GET " + Endpoint + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    ASSERT_TRUE(tricklers[0].client->send(page));
    ASSERT_TRUE(tricklers[0].client->receive(10s, "?WSDL\n").starts_with("HTTP/1.1 200 OK\r\n"));
    tricklers[0].start = Clock::now();
    for (int host = 2; host < 10; ++host) {
        const std::string from = "127.0.0." + std::to_string(host);
        for (int i = 0; i < 10; ++i) {
            tricklers.push_back(
                {from, std::make_unique<RawClient>(server, from.c_str()), Clock::now(), {}});
            tricklers.back().client->send("POST " + Endpoint + " HTTP/1.1\r\nX-Slow: ");
        }
    }
    std::vector<int> answers;
    std::map<std::string, int> heldAfterHalfASecond;
    const auto begun = Clock::now();
    for (int round = 0; Clock::now() - begun < 7s; ++round) {
        for (Trickler& t : tricklers) {
            if (!t.openFor && (t.client->droppedWithin(0ms) || !t.client->send("a"))) {
                t.openFor = Clock::now() - t.start;
            }
        }
        if (round == 2) {
            for (const Trickler& t : tricklers) {
                heldAfterHalfASecond[t.from] += t.openFor ? 0 : 1;
            }
        }
        if (round == 2 || round == 5) {
            answers.push_back(statusOf(server, "GetFacilities"));
        }
        std::this_thread::sleep_for(250ms);
    }
    EXPECT_EQ(answers, (std::vector<int>{200, 200}));
    for (const auto& [from, held] : heldAfterHalfASecond) {
        EXPECT_LE(held, 10) << from;
    }
    for (const Trickler& t : tricklers) {
        EXPECT_TRUE(t.openFor && *t.openFor < 4s) << t.from << " still open";
    }
}

// Connections announce bodies of 1 MiB each and send nothing: sixteen from one address, and
// two from each of sixteen. The server reserves memory for a body when its headers announce
// it, 16 MiB for all bodies in flight, so that a refused one can be answered before it is sent.
// Neither one address nor sixteen may take all of it: another address's queries are answered
// while they wait, and some of them are refused at once with 503.
TEST(SlowClients, BodiesAnnouncedAndNeverSentStarveNoOtherAddress) {
    const std::string head = "POST " + Endpoint + " HTTP/1.1\r\nHost: 127.0.0.1\r\nSOAPAction: " +
                             soapAction("GetFacilities") + "\r\nContent-Length: 1048576\r\n\r\n";
    for (const auto& [addresses, each] : {std::pair(1, 16), std::pair(16, 2)}) {
        SCOPED_TRACE(std::to_string(addresses) + " addresses");
        const StandInServer server(StandInServer::Data::Demo, {{"--read-timeout", "3"}});
        std::vector<std::unique_ptr<RawClient>> hog;
        for (int host = 2; host < 2 + addresses; ++host) {
            const std::string from = "127.0.0." + std::to_string(host);
            for (int i = 0; i < each; ++i) {
                hog.push_back(std::make_unique<RawClient>(server, from.c_str()));
                ASSERT_TRUE(hog.back()->send(head));
            }
        }
        // The last one's answer tells that the server has read every head.
        hog.back()->readable(1s);
        std::vector<int> answers;
        for (int i = 0; i < 5; ++i) {
            answers.push_back(statusOf(server, "GetFacilities"));
        }
        EXPECT_EQ(answers, std::vector<int>(5, 200));
        const auto refused = std::count_if(hog.begin(), hog.end(), [](const auto& client) {
            return client->receive(5s, "\r\n").starts_with("HTTP/1.1 503 ");
        });
        EXPECT_GT(refused, 0);
    }
}
