#include "table/replay_session.h"

#include <QFile>
#include <QHBoxLayout>
#include <QPushButton>
#include <QWidget>

#include "net/seat_table.h"
#include "table/game_lines.h"

std::unique_ptr<ReplaySession> ReplaySession::Open(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Impossible d'ouvrir %1 : %2").arg(path, file.errorString());
        return nullptr;
    }
    const QByteArray bytes = file.readAll();
    return FromBytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                     static_cast<std::size_t>(bytes.size()), error);
}

std::unique_ptr<ReplaySession> ReplaySession::FromBytes(const std::uint8_t* data, std::size_t size,
                                                        QString* error) {
    auto file = std::make_unique<GameFile>();
    GameFileError refused;
    if (!ReadGameFile(data, size, file.get(), &refused)) {
        *error = QString::fromStdString(GameFileErrorText(refused));
        return nullptr;
    }
    std::unique_ptr<ReplaySession> session(new ReplaySession);
    session->file_ = std::move(file);
    session->replay_ = std::make_unique<GameReplay>(session->file_.get());
    return session;
}

ReplaySession::~ReplaySession() {
    delete bar_;
}

QString ReplaySession::StatusLine() const {
    return QStringLiteral("Revoir : manche %1, coup %2 / %3")
        .arg(replay_->Round())
        .arg(replay_->Move())
        .arg(replay_->MovesInRound());
}

std::string ReplaySession::GameLines() const {
    std::string lines = "» Manche " + std::to_string(replay_->Round()) + "\r\n";
    const int start = replay_->Position() - replay_->Move();
    // The table before each move of the round, to write the round's end.
    GameReplay walk(file_.get());
    for (int position = start + 1; position <= replay_->Position(); ++position) {
        std::size_t size = 0;
        const std::uint8_t* msg = replay_->MessageAt(position, &size);
        const int seat = SeatByte(msg[MSG_SEAT_OFFSET]);
        if (msg[MSG_TYPE_OFFSET] == MSG_PASS) {
            lines += PassLine(g_seats[seat].name);
            continue;
        }
        walk.GoTo(position);
        lines += PlayLine(g_seats[seat].name, walk.Table().lastPlays[seat]);
        if (walk.Table().roundOver != 0) lines += RoundEndLines(walk.Table(), seat);
    }
    return lines;
}

QWidget* ReplaySession::Bar(QWidget* parent) {
    if (bar_ != nullptr) return bar_;
    bar_ = new QWidget(parent);
    auto* layout = new QHBoxLayout(bar_);
    layout->setContentsMargins(6, 2, 6, 2);
    const auto add = [this, layout](const QString& label, const QString& accessible) {
        auto* button = new QPushButton(label, bar_);
        button->setAccessibleName(accessible);
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoDefault(false);
        layout->addWidget(button);
        return button;
    };
    previousRound_ = add(QStringLiteral("Manche précédente"), QStringLiteral("Manche précédente"));
    back_ = add(QStringLiteral("◀"), QStringLiteral("Coup précédent"));
    forward_ = add(QStringLiteral("▶"), QStringLiteral("Coup suivant"));
    nextRound_ = add(QStringLiteral("Manche suivante"), QStringLiteral("Manche suivante"));
    QPushButton* close = add(QStringLiteral("Fermer"), QStringLiteral("Fermer la partie revue"));
    connect(back_, &QPushButton::clicked, this, [this] {
        replay_->Back();
        emit Moved();
    });
    connect(forward_, &QPushButton::clicked, this, [this] {
        replay_->Forward();
        emit Moved();
    });
    connect(previousRound_, &QPushButton::clicked, this, [this] {
        replay_->PreviousRound();
        emit Moved();
    });
    connect(nextRound_, &QPushButton::clicked, this, [this] {
        replay_->NextRound();
        emit Moved();
    });
    connect(close, &QPushButton::clicked, this, &ReplaySession::CloseAsked);
    return bar_;
}
