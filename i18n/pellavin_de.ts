<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>StartSysInfo</name>
    <message>
        <location filename="../app/sysinfo.cpp" line="+51"/>
        <source>System Information Is Unavailable At This Time</source>
        <translation>Die Systeminformationen sind gerade nicht verfügbar.</translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <location filename="../windows/frmabout.cpp" line="+89"/>
        <source>Calculator</source>
        <translation>Taschenrechner</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>A Pellavin program designed to build mathimatical skills. Users will expriance some challange in the beginning, but towards the end of the sessions the goal is to improve your speed and accurace when solving the questions given.</source>
        <extracomment>&quot;mathimatical&quot;, &quot;expriance&quot;, &quot;challange&quot; and &quot;accurace&quot; are misspelt on purpose; spell your language correctly.</extracomment>
        <translation>Ein Pellavin-Programm, mit dem du rechnen übst. Am Anfang ist es vielleicht ein bisschen schwer, aber bis zum Ende der Übungsrunden wirst du schneller und rechnest genauer.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;System Info...</source>
        <translation>&amp;Systeminfo...</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>About %1</source>
        <extracomment>%1 is the program&apos;s name.</extracomment>
        <translation>Über %1</translation>
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
        <translation>Hilfe zu Pellavin</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Use the difficulty settings to choose the difficulty which most suits you.</source>
        <translation>Wähle im Menü „Schwierigkeit“ die Stufe, die am besten zu dir passt.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Beginner - Only addition and subtraction(+,-)</source>
        <extracomment>The level names are the Difficulty menu&apos;s items.</extracomment>
        <translation>Anfänger – nur Plus und Minus (+,-)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Intermediate - Only addition, subtraction, and multiplication.(+,-,*)</source>
        <translation>Fortgeschritten – Plus, Minus und Mal (+,-,*)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Advanced - All four mathimatical operators will be used.(+,-,*,/)</source>
        <extracomment>&quot;mathimatical&quot; is misspelt on purpose; spell your language correctly.</extracomment>
        <translation>Profi – alle vier Rechenarten (+,-,*,/)</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Answer the questions as they are given to you (20 questions is all), and use the submit button to submit your answers. If you feel you need to skip the question, click &apos;Next Question&apos;, this will count as a wrong answer. If you do choose to do the question, but answer correctly, you will have 3 chances to get the right answer before you are given the next question.</source>
        <extracomment>&quot;but answer correctly&quot; is a slip for &quot;but answer wrongly&quot;; say what is meant: you get 3 chances after a wrong answer.</extracomment>
        <translation>Beantworte die Fragen der Reihe nach (es sind 20 Fragen) und klicke auf „Prüfen“, um deine Antwort abzugeben. Willst du eine Frage überspringen, klicke auf „Weiter“. Das zählt als falsche Antwort. Ist deine Antwort falsch, hast du noch 3 Versuche, bevor die nächste Frage kommt.</translation>
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
        <translation>Aufgabe</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Answer</source>
        <translation>Antwort</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Your Answer:</source>
        <translation>Antwort:</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Submit</source>
        <translation>Prüfen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Next Question</source>
        <translation>Weiter</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Score</source>
        <translation>Punkte</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Status</source>
        <translation>Stand</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Number of questions to go:</source>
        <translation>Fragen, die noch kommen:</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>New Session</source>
        <translation>Neue Runde</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Difficulty</source>
        <translation>Schwierigkeit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Beginner(+,-)</source>
        <translation>Anfänger (+,-)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Intermediate(+,-,x)</source>
        <translation>Fortgeschritten (+,-,x)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Advanced(+,-,x,/)</source>
        <translation>Profi (+,-,x,/)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>About</source>
        <translation>Über Pellavin</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Using this program</source>
        <translation>So geht es</translation>
    </message>
    <message>
        <location line="+300"/>
        <source>plus</source>
        <translation>plus</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>minus</source>
        <translation>minus</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>times</source>
        <translation>mal</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>divided by</source>
        <translation>geteilt durch</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>%1 questions</source>
        <translation>%1 Aufgaben</translation>
    </message>
    <message>
        <location filename="../windows/frmmath.h" line="+30"/>
        <source>No printer is available, so nothing was printed.</source>
        <translation>Es ist kein Drucker da, deshalb wurde nichts gedruckt.</translation>
    </message>
</context>
<context>
    <name>frmSplash</name>
    <message>
        <location filename="../windows/frmsplash.cpp" line="+80"/>
        <source>Pellavin logo</source>
        <translation>Pellavin-Logo</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Copyright</source>
        <translation>Copyright</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Platform</source>
        <translation>Plattform</translation>
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
        <translation>Drücke eine Taste, um anzufangen.</translation>
    </message>
</context>
<context>
    <name>quiztexts</name>
    <message>
        <location filename="../quiz/quiztexts.h" line="+9"/>
        <source>What is your name?</source>
        <translation>Wie heißt du?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>User Name Input</source>
        <translation>Dein Name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pellavin User</source>
        <translation>Pellavin-Fan</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Welcome to Pellavin, %1! We will start you off on the beginner level. If you feel you want to change your level, please do so at the top of the program, under the &apos;Difficulty&apos; tab.</source>
        <extracomment>%1 is the user&apos;s name. &apos;Difficulty&apos; is the name of the menu.</extracomment>
        <translation>Willkommen bei Pellavin, %1! Wir fangen mit der Stufe „Anfänger“ an. Wenn du die Stufe wechseln möchtest, geht das oben im Menü „Schwierigkeit“.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>You have sloved the problem correctly!</source>
        <extracomment>&quot;sloved&quot; is a misspelling of &quot;solved&quot; on purpose; spell your language correctly.</extracomment>
        <translation>Du hast die Aufgabe richtig gelöst!</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Sorry, you have answered the question improperly. Try again, you have %1 tries left.</source>
        <extracomment>%1 is the number of tries left (1 to 3).</extracomment>
        <translation>Leider ist die Antwort nicht richtig. Versuch es noch einmal! Übrige Versuche: %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Are you sure?</source>
        <translation>Bist du sicher?</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Are you sure you want to move on to the next question without answering? This will count as a wrong answer.</source>
        <translation>Willst du wirklich zur nächsten Frage, ohne zu antworten? Das zählt als falsche Antwort.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Are you sure you want to start a new session? All your current data will be lost.</source>
        <translation>Willst du wirklich eine neue Runde anfangen? Dann ist alles weg, was du bisher gemacht hast.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Are you sure you want to change difficulties? This will end you session and start a new one.</source>
        <extracomment>&quot;you session&quot; is a slip for &quot;your session&quot; on purpose; write your language correctly.</extracomment>
        <translation>Willst du die Schwierigkeit wirklich ändern? Dann endet deine Runde, und eine neue fängt an.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>You have passed this difficulty with %1%! Congradulations!</source>
        <extracomment>%1 is the percentage of right answers. &quot;Congradulations&quot; is misspelt on purpose; spell your language correctly.</extracomment>
        <translation>Du hast diese Stufe mit %1&#xa0;% geschafft! Herzlichen Glückwunsch!</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>You have failed this difficulty with %1%. Sorry, %2. Better luck next time.</source>
        <extracomment>%1 is the percentage of right answers, %2 the user&apos;s name.</extracomment>
        <translation>Du hast diese Stufe mit %1&#xa0;% leider nicht geschafft. Schade, %2! Beim nächsten Mal klappt es bestimmt.</translation>
    </message>
</context>
</TS>
