#include "engine/ConverterCommand.h"

#include "settings/TargetTypes.h"

namespace ks3 {

namespace {
const QString kQt = QStringLiteral("{qt}");

QString quoted(const QString& s) {
    return QLatin1Char('"') + s + QLatin1Char('"');
}
} // namespace

QStringList effectArguments(const ConverterOptions& o) {
    QStringList bodies;
    if (o.cutActive) {
        QString e = QStringLiteral("Trim Silence=");
        if (!o.cutDebut)
            e += QStringLiteral(" -nobegin");
        if (!o.cutFin)
            e += QStringLiteral(" -noend");
        if (o.cutSilence == 0)
            e += QStringLiteral(" -digsilence");
        e += QStringLiteral(" -dbsilence=") + kQt + o.cutSeuildB + kQt;
        e += QStringLiteral(" -threshold=") + kQt + o.cutSeuilDuree + kQt;
        bodies << e;
    }
    if (o.normActive) {
        static const char* modes[] = {"peak", "rg", "adapt", "fixed"};
        QString e = QStringLiteral("Volume Normalize=");
        if (o.normNature >= 0 && o.normNature <= 3)
            e += QStringLiteral(" -mode=") + kQt + QLatin1String(modes[o.normNature]) + kQt;
        e += QStringLiteral(" -maxamp=") + kQt + o.normValeurMax + kQt;
        e += QStringLiteral(" -desiredb=") + kQt + QString::number(o.normValeurDesiree) + kQt;
        e += QStringLiteral(" -adapt_wnd=") + kQt + QStringLiteral("6000") + kQt;
        e += QStringLiteral(" -fixed=") + kQt + QString::number(o.normValeurFixe) + kQt;
        bodies << e;
    }
    if (o.eqActive) {
        QStringList bands;
        for (int b : o.eqBandes)
            bands << QString::number(b * 10);
        bodies << QStringLiteral("Graphic Equalizer= -EQ=") + kQt + bands.join(QStringLiteral(", ")) + kQt;
    }
    QStringList args;
    for (int i = 0; i < bodies.size(); ++i)
        args << QStringLiteral("-dspeffect%1=").arg(i + 1) + bodies.at(i);
    return args;
}

QStringList formatArguments(const ConverterOptions& o, bool udpRequest, bool* hasConvertTo) {
    QStringList args;
    if (udpRequest) {
        const TargetType* suite = targetType(kCibleS48);
        args << QStringLiteral("-convert_to=") + suite->codec;
        args << suite->reglages.at(kReglagesFormatSuite);
    } else if (const TargetType* t = targetType(o.cible)) {
        args << QStringLiteral("-convert_to=") + t->codec << t->reglagesCommuns;
        if (o.caracteristiques >= 0 && o.caracteristiques < int(t->reglages.size()))
            args << t->reglages.at(std::size_t(o.caracteristiques));
    }
    if (hasConvertTo)
        *hasConvertTo = !args.isEmpty();
    return args;
}

ConverterCommand buildConverterCommand(const QString& converterPath, const QString& source,
                                       const QString& target, const QString& errorFile,
                                       const ConverterOptions& options, bool udpRequest) {
    ConverterCommand c;
    c.program = converterPath;
    c.arguments << QStringLiteral("-infile=") + source << QStringLiteral("-outfile=") + target
                << QStringLiteral("-errorfile=") + errorFile;
    c.text = converterPath + QLatin1Char(' ') + QStringLiteral("-infile=") + quoted(source) +
             QStringLiteral(" -outfile=") + quoted(target) + QStringLiteral(" -errorfile=") +
             quoted(errorFile);

    if (!udpRequest) {
        for (const QString& effect : effectArguments(options)) {
            const qsizetype eq = effect.indexOf(QLatin1Char('='));
            c.text += QLatin1Char(' ') + effect.left(eq + 1) + quoted(effect.mid(eq + 1));
            c.arguments << effect;
        }
    }

    bool hasConvertTo = false;
    const QStringList format = formatArguments(options, udpRequest, &hasConvertTo);
    if (hasConvertTo) {
        // -convert_to="codec", a space, then the settings separated by one space
        // (with no settings the command ends with that space).
        c.text += QStringLiteral(" -convert_to=") + quoted(format.first().mid(int(qstrlen("-convert_to="))));
        QStringList settingTexts;
        for (int i = 1; i < format.size(); ++i) {
            const QString& a = format.at(i);
            const qsizetype eq = a.indexOf(QLatin1Char('='));
            settingTexts << (eq < 0 ? a : a.left(eq + 1) + quoted(a.mid(eq + 1)));
        }
        c.text += QLatin1Char(' ') + settingTexts.join(QLatin1Char(' '));
        c.arguments << format;
    }
    return c;
}

} // namespace ks3
