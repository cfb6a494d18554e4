#pragma once

#include "store/RecordImage.h"

namespace ks3 {

// Conversion detail (table 42): one record per conversion attempt. 900 bytes
// stored; the buffer carries one more byte that is never written to the file.
// Key 0 (unique) = IdEntete + IdDetail, 20 characters.
class EnregConvertDetail : public RecordImage<901> {
public:
    static constexpr int NoFichier = 42;
    static constexpr int CleIdEnteteIdDetail = 0;

    static constexpr TextField IdEnteteChamp{0, 10};
    static constexpr TextField IdDetailChamp{10, 10};
    static constexpr TextField DateFichierSourceChamp{20, 14};
    static constexpr TextField TailleFichierSourceChamp{34, 10};
    static constexpr TextField DebutConversionChamp{44, 14};
    static constexpr TextField FinConversionChamp{58, 14};
    static constexpr TextField ConversionOKChamp{72, 1};
    static constexpr TextField LibelleDetailChamp{73, 100};
    static constexpr TextField ReserveChamp{173, 727};
    static constexpr TextField FinChamp{900, 1}; // in memory only

    static const std::vector<FieldDef>& layout();

    // The 20-character key of a detail.
    static QString cle(const QString& idEntete, const QString& idDetail);

    QString IdEntete() const { return text(IdEnteteChamp); }
    void setIdEntete(const QString& v) { setText(IdEnteteChamp, v); }
    void setIdEntete(qint64 n) { setNumber(IdEnteteChamp, n); }
    QString IdDetail() const { return text(IdDetailChamp); }
    void setIdDetail(const QString& v) { setText(IdDetailChamp, v); }
    void setIdDetail(qint64 n) { setNumber(IdDetailChamp, n); }
    QString DateFichierSource() const { return text(DateFichierSourceChamp); }
    void setDateFichierSource(const QString& v) { setText(DateFichierSourceChamp, v); }
    void setDateFichierSource(const QDateTime& dt) {
        setText(DateFichierSourceChamp, recordtext::dateTime14(dt));
    }
    QString TailleFichierSource() const { return text(TailleFichierSourceChamp); }
    void setTailleFichierSource(const QString& v) { setText(TailleFichierSourceChamp, v); }
    void setTailleFichierSource(qint64 n) { setNumber(TailleFichierSourceChamp, n); }
    QString DebutConversion() const { return text(DebutConversionChamp); }
    void setDebutConversion(const QString& v) { setText(DebutConversionChamp, v); }
    void setDebutConversion(const QDateTime& dt) {
        setText(DebutConversionChamp, recordtext::dateTime14(dt));
    }
    QString FinConversion() const { return text(FinConversionChamp); }
    void setFinConversion(const QString& v) { setText(FinConversionChamp, v); }
    void setFinConversion(const QDateTime& dt) { setText(FinConversionChamp, recordtext::dateTime14(dt)); }
    QString ConversionOK() const { return text(ConversionOKChamp); }
    void setConversionOK(const QString& v) { setText(ConversionOKChamp, v); }
    QString LibelleDetail() const { return text(LibelleDetailChamp); }
    void setLibelleDetail(const QString& v) { setText(LibelleDetailChamp, v); }
};

} // namespace ks3
