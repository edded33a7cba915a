<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>StartSysInfo</name>
    <message>
        <location filename="../app/sysinfo.cpp" line="+51"/>
        <source>System Information Is Unavailable At This Time</source>
        <translation>La información del sistema no está disponible en este momento.</translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <location filename="../windows/frmabout.cpp" line="+89"/>
        <source>Calculator</source>
        <translation>Calculadora</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>A Pellavin program designed to build mathimatical skills. Users will expriance some challange in the beginning, but towards the end of the sessions the goal is to improve your speed and accurace when solving the questions given.</source>
        <extracomment>&quot;mathimatical&quot;, &quot;expriance&quot;, &quot;challange&quot; and &quot;accurace&quot; are misspelt on purpose; spell your language correctly.</extracomment>
        <translation>Un programa de Pellavin para aprender a hacer cuentas. Al principio puede costar un poco, pero al final de las sesiones calcularás más rápido y con menos errores.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;System Info...</source>
        <translation>Info. &amp;sistema...</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>About %1</source>
        <extracomment>%1 is the program&apos;s name.</extracomment>
        <translation>Acerca de %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Version %1.%2.%3</source>
        <extracomment>Major, minor and revision number.</extracomment>
        <translation>Versión %1.%2.%3</translation>
    </message>
</context>
<context>
    <name>frmHelp</name>
    <message>
        <location filename="../windows/frmhelp.cpp" line="+30"/>
        <source>Help using Pellavin</source>
        <translation>Ayuda de Pellavin</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Use the difficulty settings to choose the difficulty which most suits you.</source>
        <translation>En el menú «Nivel», elige el nivel que mejor te vaya.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Beginner - Only addition and subtraction(+,-)</source>
        <extracomment>The level names are the Difficulty menu&apos;s items.</extracomment>
        <translation>Principiante: solo sumas y restas (+,-)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Intermediate - Only addition, subtraction, and multiplication.(+,-,*)</source>
        <translation>Intermedio: sumas, restas y multiplicaciones (+,-,*)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Advanced - All four mathimatical operators will be used.(+,-,*,/)</source>
        <extracomment>&quot;mathimatical&quot; is misspelt on purpose; spell your language correctly.</extracomment>
        <translation>Avanzado: las cuatro operaciones (+,-,*,/)</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Answer the questions as they are given to you (20 questions is all), and use the submit button to submit your answers. If you feel you need to skip the question, click &apos;Next Question&apos;, this will count as a wrong answer. If you do choose to do the question, but answer correctly, you will have 3 chances to get the right answer before you are given the next question.</source>
        <extracomment>&quot;but answer correctly&quot; is a slip for &quot;but answer wrongly&quot;; say what is meant: you get 3 chances after a wrong answer.</extracomment>
        <translation>Responde a las preguntas una a una (son 20 en total) y pulsa «Comprobar» para enviar tu respuesta. Si quieres saltar una pregunta, pulsa «Saltar»: contará como respuesta incorrecta. Si fallas, tienes 3 intentos más antes de la siguiente pregunta.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
</context>
<context>
    <name>frmMath</name>
    <message>
        <location filename="../windows/frmmath.cpp" line="+105"/>
        <source>Question</source>
        <translation>Pregunta</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Answer</source>
        <translation>Respuesta</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Your Answer:</source>
        <translation>Respuesta:</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Submit</source>
        <translation>Comprobar</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Next Question</source>
        <translation>Saltar</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Score</source>
        <translation>Puntos</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Time</source>
        <translation>Tiempo</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Status</source>
        <translation>Progreso</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Number of questions to go:</source>
        <translation>Preguntas que faltan:</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>File</source>
        <translation>Archivo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>New Session</source>
        <translation>Nueva sesión</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Print</source>
        <translation>Imprimir</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Exit</source>
        <translation>Salir</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Difficulty</source>
        <translation>Nivel</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Beginner(+,-)</source>
        <translation>Principiante (+,-)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Intermediate(+,-,x)</source>
        <translation>Intermedio (+,-,x)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Advanced(+,-,x,/)</source>
        <translation>Avanzado (+,-,x,/)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Help</source>
        <translation>Ayuda</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>About</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Using this program</source>
        <translation>Cómo se usa</translation>
    </message>
    <message>
        <location line="+300"/>
        <source>plus</source>
        <translation>más</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>minus</source>
        <translation>menos</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>times</source>
        <translation>por</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>divided by</source>
        <translation>entre</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>%1 questions</source>
        <translation>%1 preguntas</translation>
    </message>
    <message>
        <location filename="../windows/frmmath.h" line="+30"/>
        <source>No printer is available, so nothing was printed.</source>
        <translation>No hay ninguna impresora, así que no se ha impreso nada.</translation>
    </message>
</context>
<context>
    <name>frmSplash</name>
    <message>
        <location filename="../windows/frmsplash.cpp" line="+80"/>
        <source>Pellavin logo</source>
        <translation>Logotipo de Pellavin</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Copyright</source>
        <translation>Copyright</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Platform</source>
        <translation>Plataforma</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Version %1.%2.%3</source>
        <extracomment>Major, minor and revision number.</extracomment>
        <translation>Versión %1.%2.%3</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Press any key to start.</source>
        <translation>Pulsa cualquier tecla para empezar.</translation>
    </message>
</context>
<context>
    <name>quiztexts</name>
    <message>
        <location filename="../quiz/quiztexts.h" line="+9"/>
        <source>What is your name?</source>
        <translation>¿Cómo te llamas?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>User Name Input</source>
        <translation>Tu nombre</translation>
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
        <translation>¡Te damos la bienvenida a Pellavin, %1! Empiezas en el nivel Principiante. Si quieres cambiar de nivel, hazlo arriba, en el menú «Nivel».</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>You have sloved the problem correctly!</source>
        <extracomment>&quot;sloved&quot; is a misspelling of &quot;solved&quot; on purpose; spell your language correctly.</extracomment>
        <translation>¡Muy bien, has resuelto el problema!</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Sorry, you have answered the question improperly. Try again, you have %1 tries left.</source>
        <extracomment>%1 is the number of tries left (1 to 3).</extracomment>
        <translation>Lo siento, la respuesta no es correcta. ¡Inténtalo otra vez! Intentos que quedan: %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Are you sure?</source>
        <translation>¿Lo confirmas?</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Are you sure you want to move on to the next question without answering? This will count as a wrong answer.</source>
        <translation>¿De verdad quieres pasar a la siguiente pregunta sin responder? Contará como respuesta incorrecta.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Are you sure you want to start a new session? All your current data will be lost.</source>
        <translation>¿De verdad quieres empezar una sesión nueva? Se perderá todo lo que has hecho hasta ahora.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Are you sure you want to change difficulties? This will end you session and start a new one.</source>
        <extracomment>&quot;you session&quot; is a slip for &quot;your session&quot; on purpose; write your language correctly.</extracomment>
        <translation>¿De verdad quieres cambiar de nivel? Tu sesión terminará y empezará una nueva.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>You have passed this difficulty with %1%! Congradulations!</source>
        <extracomment>%1 is the percentage of right answers. &quot;Congradulations&quot; is misspelt on purpose; spell your language correctly.</extracomment>
        <translation>¡Has superado este nivel con un %1&#xa0;%! ¡Enhorabuena!</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>You have failed this difficulty with %1%. Sorry, %2. Better luck next time.</source>
        <extracomment>%1 is the percentage of right answers, %2 the user&apos;s name.</extracomment>
        <translation>No has superado este nivel: has sacado un %1&#xa0;%. Lo siento, %2. ¡La próxima vez te saldrá mejor!</translation>
    </message>
</context>
</TS>
