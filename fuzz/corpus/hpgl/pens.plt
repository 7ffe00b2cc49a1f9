in;pw0.35,1;pw0.5;sp1;pu 40 40
pd 80.4,40 80,79.6
pu;sp2;pd120,0;sp3;pd160,0;pu;
