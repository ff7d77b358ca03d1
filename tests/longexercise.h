#pragma once

#include "exercise/exercise.h"

// An exercise as long as one may be: nine paragraphs, eleven ideas, a word
// too long for any line, and prompts a file could hold that look like
// markup or formulas.
inline Exercise longExercise()
{
    Exercise exercise;
    exercise.code = QStringLiteral("311");
    exercise.label = QStringLiteral("Le phare de Kerbrune");
    exercise.readingInstruction = QStringLiteral("Lis d'abord ce texte, puis réponds à la question qui suit le texte.");
    exercise.questionInstruction = QStringLiteral("Utilise les nombres de 1 à 9 pour indiquer dans quel paragraphe tu "
                                                  "retrouves les idées suivantes:");
    exercise.paragraphs = {
        QStringLiteral("1. Au bout de l'île de Kerbrune se dresse un phare blanc et rouge. Depuis cent ans, il "
                       "guide les bateaux qui rentrent au port quand la nuit tombe."),
        QStringLiteral("2. Le gardien s'appelait Yvon. Chaque soir, il montait les deux cent douze marches de "
                       "l'escalier en colimaçon pour allumer la grande lampe."),
        QStringLiteral("3. La lampe tournait lentement derrière d'énormes lentilles de verre. Sa lumière portait "
                       "si loin que les marins la voyaient à quarante kilomètres."),
        QStringLiteral("4. Les nuits de tempête, Yvon ne dormait pas. Il surveillait la mer, écoutait le vent et "
                       "notait tout dans un gros cahier à couverture bleue."),
        QStringLiteral("5. Un matin d'hiver, il aperçut une petite barque en difficulté près des rochers. Il "
                       "prévint aussitôt les sauveteurs, qui ramenèrent deux pêcheurs sains et saufs."),
        QStringLiteral("6. Les enfants de l'île venaient souvent lui rendre visite. Il leur racontait des "
                       "histoires de naufrages et leur apprenait à reconnaître les oiseaux de mer."),
        QStringLiteral("7. Aujourd'hui, le phare fonctionne tout seul : une machine allume la lampe. Le mot "
                       "anticonstitutionnellementextraordinairementinterminablement ne tient sur aucune ligne."),
        QStringLiteral("8. Le cahier bleu d'Yvon est exposé au musée du port. On peut y lire, d'une écriture "
                       "soignée, le récit de quarante années de veille."),
        QStringLiteral("9. Chaque été, les visiteurs grimpent jusqu'en haut du phare. De là, par beau temps, on "
                       "aperçoit trois autres îles et le clocher du village voisin."),
    };
    exercise.ideas = {
        {QStringLiteral("Un sauvetage en mer                N°"), 5},
        {QStringLiteral("La lumière qui porte loin          N°"), 3},
        {QStringLiteral("Un phare qui marche sans gardien   N°"), 7},
        {QStringLiteral("Le métier du gardien N°"), 2},
        {QStringLiteral("Ce que l'on voit depuis le sommet du phare quand il fait beau"), 9},
        {QStringLiteral("<b>x</b> &amp; les visites des enfants N°"), 6},
        {QStringLiteral("Où se trouve le phare =1+1 N°"), 1},
        {QStringLiteral("Les nuits sans sommeil N°"), 4},
        {QStringLiteral("Un souvenir au musée N°"), 8},
        {QStringLiteral("Les marches de l'escalier N°"), 2},
        {QStringLiteral("Des oiseaux de mer N°"), 6},
    };
    return exercise;
}
