#include "store/CatalogueTables.h"

#include <initializer_list>

namespace ks3 {

namespace {

bool construit = false;

void entree(int no, const char* titre, const char* par, int longueur, int page, int nbCles,
            std::initializer_list<SegmentCle> segments) {
    EntreeCatalogue& e = CatalogueTables()[no];
    e = EntreeCatalogue();
    e.titre = QString::fromUtf8(titre);
    e.nomFichier = QStringLiteral("FRAD%1 ").arg(no, 3, 10, QLatin1Char('0'));
    e.parStation = QString::fromLatin1(par);
    e.longueurEnreg = longueur;
    e.taillePage = page;
    e.nbCles = nbCles;
    int i = 0;
    for (const SegmentCle& s : segments)
        e.segments[i++] = s;
}

} // namespace

int EntreeCatalogue::longueurCle(int noCle) const {
    int cle = 0;
    int total = 0;
    for (const SegmentCle& s : segments) {
        if (s.longueur <= 0)
            break;
        if (cle == noCle)
            total += s.longueur;
        if (!(s.flags & CleSegmentee))
            ++cle;
        if (cle > noCle)
            break;
    }
    return total;
}

Catalogue& CatalogueTables() {
    static Catalogue c;
    return c;
}

bool CatalogueTablesConstruit() {
    return construit;
}

void InitGeneralData() {
    for (EntreeCatalogue& e : CatalogueTables())
        e = EntreeCatalogue();

    // The tables of the suite. Only the nine opened by this program (20, 21, 22,
    // 26, 29, 31, 37, 41, 42) are read or written here; the others are kept so
    // that file numbers mean the same thing in every program of the suite.
    entree(0, "Paramétrage", "N", 2000, 4096, 1, {{1, 10, 2}});
    entree(1, "Commerciaux", "O", 300, 1024, 2, {{1, 5, 2}, {6, 30, 1027}});
    entree(2, "Secteurs d'activité", "O", 100, 512, 2, {{1, 5, 2}, {6, 30, 1027}});
    entree(3, "Clients", "O", 600, 1024, 2, {{1, 8, 2}, {9, 40, 1027}});
    entree(4, "Produits", "O", 300, 1024, 2, {{1, 8, 2}, {9, 8, 3}});
    entree(5, "Entêtes des contrats", "O", 500, 1024, 2, {{1, 10, 2}, {11, 8, 3}});
    entree(6, "Entêtes des spots", "O", 400, 1024, 2, {{1, 8, 2}, {9, 10, 3}});
    entree(7, "Dates de programmation des passages des spots", "O", 100, 512, 4,
           {{1, 16, 2}, {9, 8, 3}, {17, 8, 19}, {1, 8, 3}, {25, 8, 3}});
    entree(9, "Paramétrage (Backup)", "N", 2000, 4096, 1, {{1, 10, 2}});
    entree(10, "Publicité: Données programmées", "O", 200, 1024, 1, {{1, 20, 2}});
    entree(11, "Gestion des droits des utilisateurs", "N", 500, 1024, 1, {{1, 20, 1026}});
    entree(12, "Publicité: Système Tiers: Campagnes", "O", 500, 1024, 1, {{1, 20, 2}});
    entree(13, "Publicité: Système Tiers: Spots", "O", 500, 1024, 1, {{1, 20, 2}});
    entree(14, "Publicité: Système Tiers: Messages", "O", 500, 1024, 1, {{1, 20, 2}});
    entree(15, "Publicité: Système Tiers: Produits", "O", 500, 1024, 1, {{1, 20, 2}});
    entree(16, "Publicité: Système Tiers: Clients", "O", 500, 1024, 1, {{1, 20, 2}});
    entree(17, "V 3.4 Planification", "N", 1000, 2048, 2, {{1, 10, 2}, {11, 14, 3}});
    entree(19, "Télé: Système Tiers: NinSight", "N", 500, 1024, 1, {{1, 20, 2}});
    entree(20, "Artistes", "O", 300, 1024, 4,
           {{1, 5, 2}, {6, 10, 3}, {16, 20, 1027}, {46, 1, 19}, {16, 20, 3}});
    entree(21, "Voix, Groupe, Sonorité, Catégorie, ...", "O", 980, 1024, 2,
           {{1, 10, 2}, {1, 5, 1043}, {11, 10, 1027}});
    entree(22, "Morceaux", "O", 900, 2048, 6,
           {{1, 8, 2}, {9, 5, 3}, {19, 5, 3}, {64, 5, 3}, {69, 5, 3}, {24, 20, 1027}});
    entree(23, "Piles de morceaux par sujet", "O", 100, 512, 1, {{1, 13, 2}});
    entree(24, "Piles de morceaux par catégorie", "O", 100, 512, 1, {{1, 13, 2}});
    entree(25, "Priorités", "O", 100, 512, 1, {{1, 5, 2}});
    entree(26, "Table des morceaux pour le magnétophone", "O", 150, 512, 4,
           {{1, 8, 3}, {9, 19, 3}, {28, 14, 3}, {42, 39, 1027}});
    entree(27, "Conducteur publicité", "O", 300, 1024, 1, {{1, 20, 2}});
    entree(28, "Evénements musicaux réellement diffusés", "O", 200, 1024, 2, {{1, 14, 3}, {15, 8, 3}});
    entree(29, "Morceaux (Clés complémentaires)", "O", 100, 512, 3,
           {{1, 18, 3}, {1, 10, 1043}, {19, 20, 1027}, {11, 8, 3}});
    entree(30, "Squelette des horloges", "O", 200, 1024, 1, {{1, 10, 2}});
    entree(31, "Pointeurs de start, stop, loop, ...", "O", 50, 512, 1, {{1, 11, 2}});
    entree(32, "Renseignements complémentaires sur les morceaux", "O", 1000, 2048, 1, {{1, 8, 2}});
    entree(33, "Historique des artistes et groupes programmés", "O", 100, 512, 1, {{1, 19, 3}});
    entree(34, "Historique des morceaux programmés", "O", 100, 512, 1, {{1, 22, 3}});
    entree(35, "Historique des événements programmés", "O", 100, 512, 1, {{1, 22, 3}});
    entree(37, "V 3.4 Informations sur les sons", "N", 500, 1024, 3, {{1, 8, 2}, {9, 12, 3}, {21, 12, 3}});
    entree(40, "V 3.4 Morceaux non diffusés", "N", 100, 512, 2, {{1, 10, 2}, {11, 8, 3}});
    entree(41, "V 3.4 Convert Entête", "N", 900, 2048, 3, {{1, 10, 2}, {11, 50, 1027}, {61, 14, 1027}});
    entree(42, "V 3.4 Convert Détail", "N", 900, 2048, 1, {{1, 20, 2}});
    entree(43, "V 3.4 Podcast: Emission", "N", 4000, 4096, 1, {{1, 10, 2}});
    entree(44, "V 3.4 Podcast: Articles des Emissions", "N", 4000, 4096, 2, {{1, 20, 2}, {1, 10, 3}});
    entree(45, "V 3.4 Podcast: Images des Emissions ou des Articles", "N", 4000, 4096, 1, {{1, 30, 2}});
    entree(46, "V 3.4 Equivalence entre les morceaux", "N", 100, 512, 2, {{1, 16, 2}, {9, 8, 3}});
    entree(47, "V 3.4 Historique de Diffusion: Codes et Libellés", "N", 4082, 4096, 1, {{1, 10, 2}});
    entree(48, "V 3.4 Table des titres", "N", 300, 1024, 2, {{1, 10, 2}, {11, 100, 1027}});
    entree(49, "V 3.4 Historique de Diffusion: Ecarts", "N", 200, 1024, 1, {{1, 20, 2}});
    // 8, 18, 36, 38, 39 and 50 are free numbers.
    construit = true;
}

} // namespace ks3
