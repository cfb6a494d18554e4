#pragma once

#include "store/RecordImage.h"

namespace ks3 {

// Conversion header (table 41): one record per source file seen. 900 bytes,
// all text. Key 0 = IdEntete (unique), key 1 = NomFichierSource (duplicates,
// case-insensitive), key 2 = DateTraitement (duplicates, case-insensitive).
class EnregConvertEntete : public RecordImage<900> {
public:
    static constexpr int NoFichier = 41;
    static constexpr int CleIdEntete = 0;
    static constexpr int CleNomFichierSource = 1;
    static constexpr int CleDateTraitement = 2;

    static constexpr TextField IdEnteteChamp{0, 10};
    static constexpr TextField NomFichierSourceChamp{10, 50};
    static constexpr TextField DateTraitementChamp{60, 14};
    static constexpr TextField DateFichierSourceChamp{74, 14};
    static constexpr TextField TailleFichierSourceChamp{88, 10};
    static constexpr TextField AConvertirChamp{98, 1};
    static constexpr TextField NomFichierCibleChamp{99, 50};
    static constexpr TextField DossierSourceChamp{149, 255};
    static constexpr TextField DossierCibleChamp{404, 255};
    static constexpr TextField ConversionOKChamp{659, 1};
    // Digest of the full names, only in a header whose names do not all fit
    // their fields (see engine/IdentiteEntete.h); spaces otherwise.
    static constexpr TextField EmpreinteNomsChamp{660, 16};
    static constexpr TextField ReserveChamp{676, 224};

    static const std::vector<FieldDef>& layout();

    // Texts are read trimmed of spaces and written padded or cut to their field.
    QString IdEntete() const { return text(IdEnteteChamp); }
    void setIdEntete(const QString& v) { setText(IdEnteteChamp, v); }
    void setIdEntete(qint64 n) { setNumber(IdEnteteChamp, n); }
    QString NomFichierSource() const { return text(NomFichierSourceChamp); }
    void setNomFichierSource(const QString& v) { setText(NomFichierSourceChamp, v); }
    QString DateTraitement() const { return text(DateTraitementChamp); }
    void setDateTraitement(const QString& v) { setText(DateTraitementChamp, v); }
    void setDateTraitement(const QDateTime& dt) { setText(DateTraitementChamp, recordtext::dateTime14(dt)); }
    QString DateFichierSource() const { return text(DateFichierSourceChamp); }
    void setDateFichierSource(const QString& v) { setText(DateFichierSourceChamp, v); }
    void setDateFichierSource(const QDateTime& dt) {
        setText(DateFichierSourceChamp, recordtext::dateTime14(dt));
    }
    QString TailleFichierSource() const { return text(TailleFichierSourceChamp); }
    void setTailleFichierSource(const QString& v) { setText(TailleFichierSourceChamp, v); }
    void setTailleFichierSource(qint64 n) { setNumber(TailleFichierSourceChamp, n); }
    QString AConvertir() const { return text(AConvertirChamp); }
    void setAConvertir(const QString& v) { setText(AConvertirChamp, v); }
    QString NomFichierCible() const { return text(NomFichierCibleChamp); }
    void setNomFichierCible(const QString& v) { setText(NomFichierCibleChamp, v); }
    QString DossierSource() const { return text(DossierSourceChamp); }
    void setDossierSource(const QString& v) { setText(DossierSourceChamp, v); }
    QString DossierCible() const { return text(DossierCibleChamp); }
    void setDossierCible(const QString& v) { setText(DossierCibleChamp, v); }
    QString ConversionOK() const { return text(ConversionOKChamp); }
    void setConversionOK(const QString& v) { setText(ConversionOKChamp, v); }
    QString EmpreinteNoms() const { return text(EmpreinteNomsChamp); }
    void setEmpreinteNoms(const QString& v) { setText(EmpreinteNomsChamp, v); }
};

} // namespace ks3
