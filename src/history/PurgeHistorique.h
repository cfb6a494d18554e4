#pragma once

#include <QString>

namespace ks3 {

// What the purge shows while it works: the key about to be deleted
// (TexteSuiviDelete) and the count so far (LabelNbSuppression).
class SuiviPurge {
public:
    virtual ~SuiviPurge() = default;
    virtual void cleEnCours(const QString& cle) = 0;
    virtual void nombreSupprime(int nombre) = 0;
};

// The purge of the conversion history (CommandPurgerBase_Click): after two
// questions answered "Oui", deletes every header (table 41) from the highest
// number down, then every detail (table 42) the same way, on base 0, letting
// pending events run every 10 records, and ends with the total in a message.
// titre is the title of the boxes. Returns the number of records deleted, or -1
// when a question was not answered "Oui" (nothing deleted, nothing more shown).
int CommandPurgerBase_Click(const QString& titre, SuiviPurge& suivi);

} // namespace ks3
