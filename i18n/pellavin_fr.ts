<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>StartSysInfo</name>
    <message>
        <location filename="../app/sysinfo.cpp" line="+51"/>
        <source>System Information Is Unavailable At This Time</source>
        <translation>Les informations système ne sont pas disponibles pour le moment.</translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <location filename="../windows/frmabout.cpp" line="+89"/>
        <source>Calculator</source>
        <translation>Calculatrice</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>A Pellavin program designed to build mathimatical skills. Users will expriance some challange in the beginning, but towards the end of the sessions the goal is to improve your speed and accurace when solving the questions given.</source>
        <extracomment>&quot;mathimatical&quot;, &quot;expriance&quot;, &quot;challange&quot; and &quot;accurace&quot; are misspelt on purpose; spell your language correctly.</extracomment>
        <translation>Un programme Pellavin pour apprendre à calculer. Au début, c&apos;est parfois un peu difficile, mais à la fin des parties, tu calcules plus vite et tu fais moins d&apos;erreurs.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;System Info...</source>
        <translation>Info &amp;système…</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>About %1</source>
        <extracomment>%1 is the program&apos;s name.</extracomment>
        <translation>À propos de %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Version %1.%2.%3</source>
        <extracomment>Major, minor and revision number.</extracomment>
        <translation>Version %1.%2.%3</translation>
    </message>
</context>
<context>
    <name>frmHelp</name>
    <message>
        <location filename="../windows/frmhelp.cpp" line="+30"/>
        <source>Help using Pellavin</source>
        <translation>Aide de Pellavin</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Use the difficulty settings to choose the difficulty which most suits you.</source>
        <translation>Dans le menu «&#xa0;Niveau&#xa0;», choisis le niveau qui te convient le mieux.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Beginner - Only addition and subtraction(+,-)</source>
        <extracomment>The level names are the Difficulty menu&apos;s items.</extracomment>
        <translation>Débutant&#xa0;: additions et soustractions (+,-)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Intermediate - Only addition, subtraction, and multiplication.(+,-,*)</source>
        <translation>Moyen&#xa0;: en plus, les multiplications (+,-,*)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Advanced - All four mathimatical operators will be used.(+,-,*,/)</source>
        <extracomment>&quot;mathimatical&quot; is misspelt on purpose; spell your language correctly.</extracomment>
        <translation>Expert&#xa0;: les quatre opérations (+,-,*,/)</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Answer the questions as they are given to you (20 questions is all), and use the submit button to submit your answers. If you feel you need to skip the question, click &apos;Next Question&apos;, this will count as a wrong answer. If you do choose to do the question, but answer correctly, you will have 3 chances to get the right answer before you are given the next question.</source>
        <extracomment>&quot;but answer correctly&quot; is a slip for &quot;but answer wrongly&quot;; say what is meant: you get 3 chances after a wrong answer.</extracomment>
        <translation>Réponds aux questions l&apos;une après l&apos;autre (il y en a 20) et clique sur «&#xa0;Valider&#xa0;» pour donner ta réponse. Pour passer une question, clique sur «&#xa0;Passer&#xa0;»&#xa0;: elle compte alors comme fausse. Si ta réponse est fausse, tu as encore 3 essais avant la question suivante.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>frmMath</name>
    <message>
        <location filename="../windows/frmmath.cpp" line="+105"/>
        <source>Question</source>
        <translation>Question</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Answer</source>
        <translation>Réponse</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Your Answer:</source>
        <translation>Réponse&#xa0;:</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Submit</source>
        <translation>Valider</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Next Question</source>
        <translation>Passer</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Score</source>
        <translation>Score</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Time</source>
        <translation>Temps</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Status</source>
        <translation>Progression</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Number of questions to go:</source>
        <translation>Questions restantes&#xa0;:</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>New Session</source>
        <translation>Nouvelle partie</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Print</source>
        <translation>Imprimer</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Exit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Difficulty</source>
        <translation>Niveau</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Beginner(+,-)</source>
        <translation>Débutant (+,-)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Intermediate(+,-,x)</source>
        <translation>Moyen (+,-,x)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Advanced(+,-,x,/)</source>
        <translation>Expert (+,-,x,/)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Using this program</source>
        <translation>Mode d&apos;emploi</translation>
    </message>
    <message>
        <location line="+300"/>
        <source>plus</source>
        <translation>plus</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>minus</source>
        <translation>moins</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>times</source>
        <translation>fois</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>divided by</source>
        <translation>divisé par</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>%1 questions</source>
        <translation>%1 questions</translation>
    </message>
    <message>
        <location filename="../windows/frmmath.h" line="+30"/>
        <source>No printer is available, so nothing was printed.</source>
        <translation>Il n&apos;y a pas d&apos;imprimante, donc rien n&apos;a été imprimé.</translation>
    </message>
</context>
<context>
    <name>frmSplash</name>
    <message>
        <location filename="../windows/frmsplash.cpp" line="+80"/>
        <source>Pellavin logo</source>
        <translation>Logo de Pellavin</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Copyright</source>
        <translation>Copyright</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Platform</source>
        <translation>Plateforme</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Version %1.%2.%3</source>
        <extracomment>Major, minor and revision number.</extracomment>
        <translation>Version %1.%2.%3</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Press any key to start.</source>
        <translation>Appuie sur une touche pour commencer.</translation>
    </message>
</context>
<context>
    <name>quiztexts</name>
    <message>
        <location filename="../quiz/quiztexts.h" line="+9"/>
        <source>What is your name?</source>
        <translation>Comment t&apos;appelles-tu&#xa0;?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>User Name Input</source>
        <translation>Ton prénom</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pellavin User</source>
        <translation>Fan de Pellavin</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Welcome to Pellavin, %1! We will start you off on the beginner level. If you feel you want to change your level, please do so at the top of the program, under the &apos;Difficulty&apos; tab.</source>
        <extracomment>%1 is the user&apos;s name. &apos;Difficulty&apos; is the name of the menu.</extracomment>
        <translation>Bienvenue dans Pellavin, %1&#xa0;! Tu commences au niveau Débutant. Si tu veux changer de niveau, va dans le menu «&#xa0;Niveau&#xa0;», en haut de la fenêtre.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>You have sloved the problem correctly!</source>
        <extracomment>&quot;sloved&quot; is a misspelling of &quot;solved&quot; on purpose; spell your language correctly.</extracomment>
        <translation>Bravo, tu as trouvé la bonne réponse&#xa0;!</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Sorry, you have answered the question improperly. Try again, you have %1 tries left.</source>
        <extracomment>%1 is the number of tries left (1 to 3).</extracomment>
        <translation>Ce n&apos;est pas la bonne réponse. Essaie encore&#xa0;! Essais restants&#xa0;: %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Are you sure?</source>
        <translation>Tu confirmes&#xa0;?</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Are you sure you want to move on to the next question without answering? This will count as a wrong answer.</source>
        <translation>Veux-tu vraiment passer à la question suivante sans répondre&#xa0;? Elle comptera comme fausse.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Are you sure you want to start a new session? All your current data will be lost.</source>
        <translation>Veux-tu vraiment commencer une nouvelle partie&#xa0;? Tout ce que tu as fait jusqu&apos;ici sera perdu.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Are you sure you want to change difficulties? This will end you session and start a new one.</source>
        <extracomment>&quot;you session&quot; is a slip for &quot;your session&quot; on purpose; write your language correctly.</extracomment>
        <translation>Veux-tu vraiment changer de niveau&#xa0;? Ta partie s&apos;arrête et une nouvelle commence.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>You have passed this difficulty with %1%! Congradulations!</source>
        <extracomment>%1 is the percentage of right answers. &quot;Congradulations&quot; is misspelt on purpose; spell your language correctly.</extracomment>
        <translation>Tu as réussi ce niveau avec %1&#xa0;%&#xa0;! Félicitations&#xa0;!</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>You have failed this difficulty with %1%. Sorry, %2. Better luck next time.</source>
        <extracomment>%1 is the percentage of right answers, %2 the user&apos;s name.</extracomment>
        <translation>Tu as eu %1&#xa0;%&#xa0;: ce niveau n&apos;est pas encore réussi. Dommage, %2&#xa0;! Tu feras mieux la prochaine fois.</translation>
    </message>
</context>
</TS>
