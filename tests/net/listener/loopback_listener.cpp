// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in ranking server for the end-to-end runs: listens on 127.0.0.1, writes its port
// to a file, and saves the bytes of each connection, in order, as <prefix>.1, <prefix>.2...
// Once a request has ended it answers "HTTP/1.0 200 OK", after [answer-delay] seconds.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: %s <port-file> <output-prefix> [answer-delay]\n", argv[0]);
        return 2;
    }
    const auto answerDelay = std::chrono::duration<double>(argc == 4 ? std::atof(argv[3]) : 0.0);
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener < 0 || bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 8) != 0 || getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        std::perror("loopback_listener");
        return 1;
    }
    std::string portFile = argv[1];
    std::ofstream(portFile + ".tmp") << ntohs(address.sin_port) << "\n";
    std::rename((portFile + ".tmp").c_str(), portFile.c_str());

    for (int count = 1;; ++count) {
        int connection = accept(listener, nullptr, nullptr);
        if (connection < 0) continue;
        std::string bytes;
        char buffer[4096];
        for (ssize_t n; (n = read(connection, buffer, sizeof buffer)) > 0;) bytes.append(buffer, n);
        std::string name = std::string(argv[2]) + "." + std::to_string(count);
        std::ofstream(name + ".tmp", std::ios::binary) << bytes;
        std::rename((name + ".tmp").c_str(), name.c_str());
        std::this_thread::sleep_for(answerDelay);
        static constexpr char kAccepted[] = "HTTP/1.0 200 OK\r\n\r\n";
        send(connection, kAccepted, sizeof kAccepted - 1, MSG_NOSIGNAL);
        close(connection);
    }
}
