#pragma once

#include <QString>
#include <array>
#include <deque>
#include <functional>
#include <utility>

namespace ks3 {

// Keeps the handlings of UDP requests apart. A handling lets pending events
// run (the converter's wait, the record updates, the reply), so a request may
// arrive while another one is handled:
// - on another row, it waits and is handled right after, never inside the
//   running handling (both would share the record layer's request block and
//   position blocks, the split-path record and the conversion);
// - on a row whose request is being handled or is waiting, it is dropped with
//   the framed trace entry "UDP: Receipt: ... But InProcess: Aborted".
class FileTraitementsUDP {
public:
    static constexpr int kNombreLignes = 9;
    using Traitement = std::function<void(int index, const QString& texte)>;

    explicit FileTraitementsUDP(Traitement traitement) : traitement_(std::move(traitement)) {}

    // A text received on row index: handled now, queued, or dropped.
    void recevoir(int index, const QString& texte);

    // TraitementUDPEnCours(index): a request of the row is being handled or waits.
    bool TraitementUDPEnCours(int index) const;

    // A request is being handled (others may wait behind it).
    bool enCours() const { return enCours_; }

    // The number of requests waiting.
    int enAttente() const { return static_cast<int>(attente_.size()); }

private:
    void traiter(int index, const QString& texte);

    Traitement traitement_;
    std::array<bool, kNombreLignes> occupe_{};
    std::deque<std::pair<int, QString>> attente_;
    bool enCours_ = false;
};

} // namespace ks3
